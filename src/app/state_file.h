#pragma once

#include "app/saved_state.h"

#include <QString>

#include <optional>

namespace tagwright {

// The saved state file: 46 lines in a fixed order, each ended by CR LF. Texts are written
// between double quotes without escaping, numbers and check box values as decimal integers,
// the two mode flags as #TRUE# or #FALSE#. The text's 45 items come first; the 46th, the
// percent box of the site words, may be missing (a file of an earlier version), which leaves the
// box empty.
inline constexpr int kStateFileItems = 46;

struct StateWriteResult
{
    bool written = false;
    QString error; // the platform's description of the failure
};

StateWriteResult writeStateFile(const QString& path, const SavedState& state);

// The whole state, or nothing when the file is missing, short or holds a value that its item
// cannot take; a partly valid file gives nothing, so that no half of it is applied.
std::optional<SavedState> readStateFile(const QString& path);

// The state file's full path: userDataFolder/folderName/baseName.usr, the base name in lower
// case. Creates the folder when it does not exist.
QString stateFilePath(const QString& userDataFolder, const QString& folderName,
                      const QString& baseName);

} // namespace tagwright
