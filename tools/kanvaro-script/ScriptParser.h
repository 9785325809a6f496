#pragma once
// Scripts of scripted sessions: one step a line, '#' comments and blank lines skipped.
//   tap LABEL | tap X Y
//   drag X1 Y1 X2 Y2 [MOVES] [SECONDS]
//   pinch X Y SCALE
//   wait SECONDS
//   screenshot FILE.png
//   expect-visible LABEL
//   expect-whole LABEL
//   expect-alert TITLE
//   expect-file PATH
//   pick-photo FILE
//   drop FILE
//   key KEY [down|up]
//   expect-seen LABEL | expect-unseen LABEL
//   keep-pixels NAME X Y [X Y ...] | expect-same-pixels NAME | expect-other-pixels NAME
//   count-files DIR SUFFIX N
//   set-slider LABEL VALUE
//   quit [unattended] | expect-exit-status N
//   fail-writes DIR REASON|off
//   crash
// Labels, titles and paths are the rest of the line (they may hold spaces). Points are window
// points. README.md next to this file describes the language.
#include <string>
#include <vector>

#include "Foundation/Result.h"
#include "Graphics/Geometry.h"

namespace script {

enum class StepKind {
    TapLabel,
    TapPoint,
    Drag,
    Pinch,
    Wait,
    Screenshot,
    ExpectVisible,
    ExpectWhole,
    ExpectAlert,
    ExpectFile,
    PickPhoto,
    Drop,
    Key,
    ExpectSeen,
    ExpectUnseen,
    KeepPixels,
    ExpectSamePixels,
    ExpectOtherPixels,
    CountFiles,
    SetSlider,
    Quit,
    QuitUnattended,
    ExpectExitStatus,
    FailWrites,
    Crash,
};

struct Step {
    StepKind kind = StepKind::Wait;
    int line = 0;         // 1-based line in the script
    std::string text;     // the line as written, without surrounding blanks
    std::string argument; // label, title or path
    gfx::Point from;      // tap, drag start, pinch centre
    gfx::Point to;        // drag end
    int moves = 10;
    double seconds = 0.3;           // drag duration or wait
    double scale = 1;               // pinch
    std::vector<gfx::Point> points; // keep-pixels probes
    std::string suffix;             // count-files
    int count = 0;                  // count-files
    double value = 0;               // set-slider
    int error = 0;                  // fail-writes: the errno, 0 for off
};

// The reasons fail-writes knows, by errno name ("ENOSPC"), and "off"; -1 for another word.
int writeFaultNamed(const std::string& name);

// Limits on what a script may ask for, so a typo cannot make a run take hours.
inline constexpr double kMaxSeconds = 3600;
inline constexpr int kMaxMoves = 10000;
inline constexpr double kMaxPinchScale = 100;
inline constexpr std::size_t kMaxProbes = 64;

// "NAME:LINE: TEXT: message", the form every script error takes.
std::string stepError(const std::string& scriptName, int line, const std::string& text, const std::string& message);

// Parses a whole script; the error names the first line that does not parse.
fnd::Result<std::vector<Step>> parseScript(const std::string& source, const std::string& scriptName);

} // namespace script
