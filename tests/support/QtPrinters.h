#pragma once

#include <ostream>

#include <QString>
#include <QStringList>

// Readable failure messages for Qt texts: gtest prints them as text instead of bytes. Every test
// source gets this header ahead of its own (tests/support/CMakeLists.txt), so no executable mixes
// the two printers.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", " : "") << '"' << list.at(i).toStdString() << '"';
    *os << '}';
}
