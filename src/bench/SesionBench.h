#pragma once

#include <memory>

#include <QString>

// What a measuring tool needs to run the program's own code on a database file: the real
// platform, the data objects with gDB() open on the file, the start-up variables, the global
// settings and the banner. A box shown during the measurement is written on the error output,
// answered with the choice that stops without repeating anything, and counted.
class SesionBench final
{
public:
    explicit SesionBench(const QString& archivo);
    ~SesionBench();
    SesionBench(const SesionBench&) = delete;
    SesionBench& operator=(const SesionBench&) = delete;

    // Why the database could not be opened; empty when it is open.
    const QString& error() const { return m_error; }
    // Boxes shown so far.
    int cuadros() const;

private:
    struct Partes;
    std::unique_ptr<Partes> m_partes;
    QString m_error;
};
