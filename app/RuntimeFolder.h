// The runtime folder Qt and the game's lock use: one that nobody else could have planted.
#pragma once

#include <QByteArray>

namespace kov {

// The folder for temporary files: TMPDIR when it names a real folder, not a link, of ours or
// of the system's; else /tmp.
QByteArray TemporaryFolder();

// The runtime folder every game of this user's session shares: XDG_RUNTIME_DIR when it is a
// real directory of ours that only we can enter, reached without following a link at its
// name; else <tmp>/runtime-<user> when that is, or can be made, such a folder; else empty.
// `rejected` learns the folder that was looked for first and not used.
QByteArray SharedRuntimeFolder(QByteArray* rejected);

// Exports the runtime folder Qt is to use, so that it never picks its own: `shared` when there
// is one (see SharedRuntimeFolder), else a fresh folder beside <tmp>/runtime-<user>. A fresh
// folder is removed at every end the game sees: a return from main that calls
// RemoveFolderMadeForThisRun, exit() (Qt's answer to a lost display), SIGTERM, SIGHUP and
// SIGINT; a start first clears the fresh folders of earlier runs whose game is gone. Call it
// after the lock is taken (a second start has no use for a folder) and before the QApplication
// is made.
// Returns a line for standard error when the folder given was not used, empty otherwise.
QByteArray SettleRuntimeFolder(const QByteArray& shared, const QByteArray& rejected);

// Removes the folder SettleRuntimeFolder made for this run, if it is empty.
void RemoveFolderMadeForThisRun();

}  // namespace kov
