#pragma once
// A PracticeHost for headless tests: it records every message and question, answers
// questions from a queue (yes when it is empty) and runs timers on a manual clock.

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "practice/practice_host.h"

namespace vantor::test {

class ManualClock {
public:
    struct Entry {
        std::function<void()> tick;
        bool active = false;
        int interval = 0;
        long long due = 0;
    };
    // Moves the clock on by `ms`, firing every due tick in time order.
    void Advance(long long ms) {
        const long long end = now_ + ms;
        while (true) {
            Entry* next = nullptr;
            for (auto& e : entries_)
                if (e->active && e->due <= end && (!next || e->due < next->due)) next = e.get();
            if (!next) break;
            now_ = next->due;
            next->due += next->interval;
            next->tick();
        }
        now_ = end;
    }
    long long now() const { return now_; }
    std::vector<std::unique_ptr<Entry>> entries_;

private:
    long long now_ = 0;
};

class RecordingHost : public PracticeHost {
public:
    std::vector<std::string> messages, questions, opened;
    std::deque<bool> answers;
    ManualClock clock;
    int changes = 0;

    void Message(const std::string& text) override { messages.push_back(text); }
    bool Confirm(const std::string& text, const std::string&) override { return Answer(text); }
    bool Ask(const std::string& text) override { return Answer(text); }
    void OpenPath(const std::string& path) override { opened.push_back(path); }
    void Changed() override { ++changes; }
    std::unique_ptr<PracticeTimer> CreateTimer(std::function<void()> tick) override {
        clock.entries_.push_back(std::make_unique<ManualClock::Entry>());
        ManualClock::Entry* e = clock.entries_.back().get();
        e->tick = std::move(tick);
        return std::make_unique<Timer>(clock, *e);
    }
    bool Saw(const std::string& text) const {
        return std::find(messages.begin(), messages.end(), text) != messages.end();
    }

private:
    struct Timer : PracticeTimer {
        Timer(ManualClock& c, ManualClock::Entry& e) : clock(c), entry(e) {}
        void Start(int ms) override {
            entry.active = true;
            entry.interval = ms;
            entry.due = clock.now() + ms;
        }
        void Stop() override { entry.active = false; }
        bool Active() const override { return entry.active; }
        int Interval() const override { return entry.interval; }
        ManualClock& clock;
        ManualClock::Entry& entry;
    };
    bool Answer(const std::string& text) {
        questions.push_back(text);
        if (answers.empty()) return true;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
};

} // namespace vantor::test
