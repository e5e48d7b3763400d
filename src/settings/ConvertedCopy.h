#pragma once

#include "JetConversion.h"

#include <QString>

#include <memory>

class Application;

namespace db {
class Engine;
class Workspace;
} // namespace db

// Jet files (the directory and the reference lists as the disc brings them)
// are converted once into our engine's files, kept in the user's data folder
// and used from then on. Each copy records the file it was made from, so a
// copy is used only for that same file.
namespace converted_copy {

// The folder of the converted copies ("prevod" in the user's data folder,
// ending in "/"); empty when the system names no data folder.
QString folder(const Application& app);
// Where the directory converted at start-up is kept; empty without a data folder.
QString directoryPath(const Application& app);
// The folder of the copies, made when missing, with the folders above it that
// are missing (each readable by the user alone); made receives the outermost
// folder made now, or nothing. Raises db::Error when the system names no data
// folder or the folder cannot be made.
QString readyFolder(const Application& app, QString* made = nullptr);

// True when copy is a converted copy made from source as source is now.
bool isCopyOf(const QString& copy, const QString& source);
// True when path is a converted copy of some Jet file.
bool isConvertedCopy(const QString& path);

// True when the workgroup file holds the program's account: false for a
// missing, damaged or Jet workgroup file.
bool holdsProgramLogin(const QString& workgroupFile);
// A workspace logged in with the program's account against the workgroup
// file; the engine's workgroup file in force stays as it was. Raises db::Error.
std::unique_ptr<db::Workspace> programWorkspace(db::Engine& engine, const QString& workgroupFile);

// Puts replacement in the place of target in one step (target may exist).
// Raises db::Error naming target; replacement is then removed.
void replaceFile(const QString& target, const QString& replacement);

// Converts source into target. A file already at target is replaced only
// once the new copy is complete: a failure or a cancel leaves it as it was.
// Raises db::Error as db::convertJetFile does.
db::ConversionResult convertReplacing(db::Workspace& workspace, const QString& source, const QString& target,
                                      db::ConversionKind kind, const db::ConversionProgress& progress);

} // namespace converted_copy
