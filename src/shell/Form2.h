#pragma once

#include <QWidget>

namespace nerina {

// The about window.
class Form2 final : public QWidget
{
    Q_OBJECT
public:
    explicit Form2(QWidget *parent);
};

} // namespace nerina
