#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace nerina::fuzz {

// The fuzzer's bytes as a text. The first byte picks the reading: UTF-8 (what a user
// types mostly looks like), raw UTF-16 (reaches lone surrogates, NUL and every BMP
// character), or Latin-1.
inline QString textFrom(const uint8_t *data, size_t size)
{
    if (size == 0)
        return QString();
    const char *bytes = reinterpret_cast<const char *>(data + 1);
    const qsizetype n = qsizetype(size - 1);
    switch (data[0] % 3) {
    case 0: return QString::fromUtf8(bytes, n);
    case 1: return QString(reinterpret_cast<const QChar *>(bytes), n / 2);
    default: return QString::fromLatin1(bytes, n);
    }
}

// A broken property ends the run like a crash, with the text that broke it.
[[noreturn]] inline void broken(const char *what, const QString &text)
{
    std::fprintf(stderr, "property broken: %s\ntext (UTF-16):", what);
    for (const QChar c : text)
        std::fprintf(stderr, " %04x", unsigned(c.unicode()));
    std::fprintf(stderr, "\n");
    std::abort();
}

// The text without the surrogate halves that are not part of a pair; written here on its
// own, so the program's own helper is checked and not used as the answer.
inline QString withoutLoneHalves(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += text[i];
            out += text[++i];
        } else if (!text[i].isSurrogate()) {
            out += text[i];
        }
    }
    return out;
}

inline bool wholeCharacters(const QString &text) { return withoutLoneHalves(text).size() == text.size(); }

} // namespace nerina::fuzz
