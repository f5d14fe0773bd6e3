#pragma once

#include <QDir>
#include <QStringList>

// Every entry of the folder, hidden ones too, by name.
inline QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
}
