#pragma once

#include <QByteArray>

#include <string>

// The file: URI of a local path as other desktop programs write it: every byte but the
// unreserved ones and the slashes percent-encoded, in upper case hex. Written here by hand so
// that the checks do not rest on the URL code that the list itself uses.
QByteArray fileUri(const std::string& path);
