#pragma once

#include <QString>

class DatagramRange;

// Writes datagrams as an XML data file: the declaration, CR LF, then the root
// `data` with one `datagram` element per datagram on a single line, then CR LF.
// The file is replaced atomically; throws AppError when it cannot be written.
void WriteCaptureFile(const QString &fileName, const DatagramRange &datagrams);
