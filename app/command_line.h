// What the command line asks of a start: a logon start, and the settings window's page.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace tonvira {

struct StartRequest {
  bool startedAtLogon = false;  // "--autostart", exactly as the logon entry writes it
  bool openSettings = false;    // an argument beginning with "--settings" (any case)
  std::optional<int> page;      // "--settings=N": the page, when N is 0 to 3
  // What a second instance posts to the first: the last "--settings=N" wins, default 0.
  int pageForRunningInstance = 0;
};

// The arguments after the program's own name.
StartRequest ParseCommandLine(std::span<const std::u16string> arguments);

}  // namespace tonvira
