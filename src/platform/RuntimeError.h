#pragma once

#include <exception>

#include <QByteArray>
#include <QString>

// The one exception type of the program: a run-time error with the number, description and source
// the program compares and reports. Platform implementations turn Qt, SQL and I/O failures into it.
class RuntimeError : public std::exception
{
public:
    // Numbers the program compares.
    enum Number : int
    {
        InvalidCall = 5,
        Overflow = 6,
        SubscriptOutOfRange = 9,
        OutOfMemory = 7,
        TypeMismatch = 13,
        FileNotFound = 53,
        FileAlreadyOpen = 55,
        PathNotFound = 76,
        ObjectClosed = 3704,
        ObjectOpen = 3705,
        ConnectionInvalid = 3709,
    };

    RuntimeError(int number, QString description, QString source = QString());

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const QString& source() const { return m_source; }

    const char* what() const noexcept override;

private:
    int m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};
