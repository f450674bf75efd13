#pragma once

#include "model/Singleton.h"
#include "model/StringPairList.h"

// The snapshots written since the program started, {name, file path}, newest
// first. The front panel adds to it; the command target loads, shows and
// clears it. The application creates it as its last process-wide object.
class SnapshotList : public StringPairList, public Singleton<SnapshotList>
{
private:
    friend class Singleton<SnapshotList>;
    SnapshotList() = default;
    ~SnapshotList() = default;
};

inline SnapshotList* getSnapshotList() { return SnapshotList::getInstance(); }
