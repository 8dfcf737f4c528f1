#pragma once

#include <QString>

class AdoConnection;

// The commands of a connection that waited out its time-out on a database another process holds,
// counted from a starting point. Every command after such a wait would wait as long again, so a
// routine that sees one stops there and tells the lock's message.
class EsperasBloqueo
{
public:
    // Counts from now. The connection must outlive the object.
    explicit EsperasBloqueo(const AdoConnection& cnn);

    // Counts from now again.
    void reinicia();
    // Whether a command has waited the time-out out since the start.
    bool hubo() const;
    // The lock's message in the user's words once a command has waited; empty before.
    QString mensaje() const;

private:
    const AdoConnection* m_cnn;
    int m_esperas;
};
