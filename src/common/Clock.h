#pragma once

#include <QDateTime>

#include <utility>

namespace nerina {

// "Now", replaceable in tests.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// A moment that stays put: for tests, benchmarks and pictures of a given day.
class FixedClock final : public Clock
{
public:
    explicit FixedClock(QDateTime now) : m_now(std::move(now)) { }
    QDateTime now() const override { return m_now; }

private:
    QDateTime m_now;
};

} // namespace nerina
