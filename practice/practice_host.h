#pragma once
// What the practice needs from the desktop: messages, questions, timers and opening files or
// folders with the desktop's default application. The desktop implements it with message
// boxes and Qt timers; tests implement it with a recorder and a manual clock, so the whole
// practice runs headless.

#include <functional>
#include <memory>
#include <string>

namespace vantor {

// A repeating timer of the user-interface thread.
class PracticeTimer {
public:
    virtual ~PracticeTimer() = default;
    // (Re)starts with `ms` between ticks.
    virtual void Start(int ms) = 0;
    virtual void Stop() = 0;
    virtual bool Active() const = 0;
    virtual int Interval() const = 0;
};

class PracticeHost {
public:
    virtual ~PracticeHost() = default;
    // Shows a message (an information box).
    virtual void Message(const std::string& text) = 0;
    // An OK/Cancel question with a warning icon; true for OK.
    virtual bool Confirm(const std::string& text, const std::string& title) = 0;
    // A Yes/No question; true for Yes.
    virtual bool Ask(const std::string& text) = 0;
    // Opens a folder or a file with the desktop's default application.
    virtual void OpenPath(const std::string& path) = 0;
    // A timer that calls `tick` on the user-interface thread while it runs.
    virtual std::unique_ptr<PracticeTimer> CreateTimer(std::function<void()> tick) = 0;
    // The controller's visible state changed (boxes, captions, position text, chart).
    virtual void Changed() {}
};

} // namespace vantor
