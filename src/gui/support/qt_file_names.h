#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <string>

namespace zeltrix {

// Qt reads a file name that is not UTF-8 (one from a Windows-1251 archive)
// with U+FFFD for each stray byte, and no such name can be found again. The
// window keeps names as the bytes the system gave and turns them into Qt's
// text only through these.

/** A file name's bytes as text that gives them back through LocalFileName. */
QString QtFileName(const std::string& path);

/** The bytes of a file name held as QtFileName made it, or typed by the user. */
std::string LocalFileName(const QString& name);

/**
 * The program's arguments, its own name first, as QtFileName keeps them: the
 * ones left in argv once QApplication has taken its own.
 */
QStringList FileNameArguments(int argc, char** argv);

/** The local file a dropped URL names, with its escaped bytes as they are; empty for others. */
std::string DroppedFileName(const QUrl& url);

/**
 * The file a file dialog chose. A desktop's own dialog hands a name that is
 * not UTF-8 over as Qt reads it, with U+FFFD in it; such a part of the path
 * that names nothing is looked up among its folder's entries and taken as the
 * one entry Qt reads that way.
 */
std::string ChosenFileName(const QString& chosen);

}  // namespace zeltrix
