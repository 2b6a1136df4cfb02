#pragma once

// Scripted steps: a run's windows, message boxes and file dialogs driven from
// the command line instead of by a person, one step after another.

#include <cstddef>
#include <deque>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace ui {

// A step that cannot be carried out as given: a control the active window
// lacks, a step of the wrong kind for what is open, a malformed step option.
// It ends the run; it is never shown as a window's handler error.
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One step as the command line gives it.
struct ScriptStep {
    enum Kind { Set, Tick, Untick, Choose, Press, Answer, File, Cancel, Mark, Print } kind = Press;
    std::string control; // the control's objectName (Set, Tick, Untick, Choose, Press, Mark, Print)
    std::string value;   // text, index or "@text", button word, or path
    std::string text;    // the step as given ("--press btnSAVE"), for messages
    int number = 0;      // 1-based position in the run's script; given by Script::Add
};

// "step 3 (--press btnSAV)": how messages name a step.
std::string DescribeStep(const ScriptStep& step);

// The steps of the run, in order, and the first failure met while carrying
// them out inside a window's event loop (rethrown once that loop has ended).
class Script {
public:
    static Script& Instance();

    // Queues a step; numbers it when it has no number yet.
    void Add(ScriptStep step);
    bool Empty() const { return steps_.empty(); }
    // True once any step was added to this run, also after all were used.
    bool HadSteps() const { return added_ > 0; }
    // The next step; precondition: !Empty().
    const ScriptStep& Peek() const { return steps_.front(); }
    bool NextIs(ScriptStep::Kind kind) const { return !Empty() && Peek().kind == kind; }
    // Removes and returns the next step; precondition: !Empty().
    ScriptStep Take();

    // Records the error that ends the run; the first one recorded wins.
    void Fail(std::exception_ptr error);
    bool Failed() const { return static_cast<bool>(failure_); }
    // The recorded error (null when none), which is forgotten.
    std::exception_ptr TakeFailure();

    // ScriptError naming the first step left over when the run is done.
    void CheckAllUsed() const;
    // Forgets every step and any failure: a new run.
    void Clear();

private:
    std::deque<ScriptStep> steps_;
    int added_ = 0;
    std::exception_ptr failure_;
};

// Parses one step option at args[i] ("--set NAME=TEXT", "--tick NAME",
// "--untick NAME", "--choose NAME=INDEX|@TEXT", "--press NAME", "--mark
// NAME=TEXT", "--print NAME", "--answer OK|Cancel|Yes|No", "--file PATH",
// "--cancel") and
// moves i past it. Nothing (i unchanged) when args[i] is no step option;
// ScriptError when the option's value is missing or malformed.
std::optional<ScriptStep> ParseScriptArgument(const std::vector<std::string>& args, std::size_t& i);

} // namespace ui
