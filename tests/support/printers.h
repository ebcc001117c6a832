#pragma once

#include <QString>

#include <ostream>

// Failure messages that show a QString as text rather than bytes.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE
