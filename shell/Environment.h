#pragma once

#include <stdexcept>

#include <QByteArray>
#include <QString>

namespace korva {

// The environment record. FolderPath is kept as the code page 932 bytes of the
// file: nothing in the program reads it, so it passes from the file back into
// the file unchanged, even when its bytes do not decode.
struct Environment {
    QByteArray FolderPath;
};

// The environment file could not be opened, created, read or written.
class EnvironmentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Sets EnvironmentFile to folder + "/environment.kfg". The folder is given
// as the bytes of its name, so that any name the file system allows works.
void InitEnvironment(const QByteArray& folder);
// The same for a folder named as text.
void InitEnvironment(const QString& folder);

// Reads the record from the start of EnvironmentFile, creating an empty file
// when there is none. A damaged record (one byte, or a count past the end of
// the file) reads as an empty FolderPath.
void LoadEnvironment();
// Writes the record at the start of EnvironmentFile; the bytes after it stay.
void SaveEnvironment();

const QString& getEnvironmentFile();
const Environment& getEnvironment();

}  // namespace korva
