#pragma once

#include <QLocale>

// Sets the workstation's regional settings for one test, by decimal separator, and puts the
// pinned ones back afterwards.
class LocalePrueba
{
public:
    explicit LocalePrueba(char separador)
        : m_anterior(QLocale())
    {
        QLocale::setDefault(separador == ',' ? QLocale(QLocale::Spanish, QLocale::Argentina)
                                             : QLocale(QLocale::English, QLocale::UnitedStates));
    }
    ~LocalePrueba() { QLocale::setDefault(m_anterior); }
    LocalePrueba(const LocalePrueba&) = delete;
    LocalePrueba& operator=(const LocalePrueba&) = delete;

private:
    QLocale m_anterior;
};
