#pragma once

#include <QByteArray>
#include <QString>

// The single-byte code page of the suite's fixed-record files, INI files and error log. Qt 6.4 has
// no codec for it, and the mapping is a fixed table, so it lives here.
namespace Windows1252 {

// Each byte to its character; the five bytes the code page leaves unassigned (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) map to the control characters of the same number, so every byte survives a round
// trip.
QString decode(const QByteArray& bytes);

// Each character to its byte; a character the code page lacks becomes "?".
QByteArray encode(const QString& text);

// A text field of a fixed-length record: encoded, cut to `width` bytes or padded with blanks.
QByteArray encodeFixed(const QString& text, int width);

} // namespace Windows1252
