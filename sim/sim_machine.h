// The simulated machine behind the file-system and Run-key seams: real files under folders the
// caller chooses, the Windows folders it would report, and failures to inject.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace tonvira {

struct SimFaults {
  bool failWrites = false;         // a write stops half-way and reports the failure (disk full)
  bool silentShortWrites = false;  // a write stops half-way and reports success (a lying disk)
  bool failMoves = false;          // moving a file over another fails (target locked)
  bool failCopies = false;
  std::set<std::u16string> unreadable;  // these files are there but cannot be opened (locked)
};

struct SimMachine {
  std::u16string executablePath;  // empty: the real executable
  std::u16string programFiles;
  std::u16string programFilesX86;
  std::u16string localAppData;                   // empty: the folder cannot be had
  std::u16string startupFolder;                  // empty: the folder cannot be had
  std::set<std::u16string> runValues;            // value names under the user's Run key
  std::vector<std::u16string> removedRunValues;  // what the program removed, in order
  SimFaults faults;
};

// The one simulated machine of the process; tests reset it with SimulatedMachine() = {}.
SimMachine& SimulatedMachine();

}  // namespace tonvira
