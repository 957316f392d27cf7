// The names of the last town database read, kept for the next render while the file is unchanged:
// a large list would otherwise be read again for every render, and a drag on a label would crawl.
#pragma once

#include <memory>
#include <string>

#include "synthesis/towns/TownFile.h"

namespace hillograph {

// The names of the town database FileName, as ReadTownFile gives them and with its failures. The
// file is opened and its first byte read every time, so that a file that has become unreadable
// still fails; its names are read again only when its path, folder entry (device and inode),
// size or modification time differ from those of the last file read. A file modified less than a
// second before it was read is read again next time: a change within one tick of the file system's
// clock would not show in its time. Any thread may call it.
std::shared_ptr<const TTownNames> CachedTownNames(const std::string& FileName);

}  // namespace hillograph
