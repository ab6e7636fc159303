#pragma once
// The small interface through which the core (the store, the formula engine, the chart,
// the account and the journal) talks to the user. The desktop answers with message boxes;
// tests answer with a recorder. An empty callback means nobody is listening: messages are
// dropped and confirmations count as "yes".

#include <functional>
#include <string>

namespace vantor {

struct Host {
    // Shows a message to the user.
    std::function<void(const std::string& text)> message;
    // Asks a yes/no (or OK/cancel) question with a title; true means go on.
    std::function<bool(const std::string& text, const std::string& title)> confirm;

    void Message(const std::string& text) const {
        if (message) message(text);
    }
    bool Confirm(const std::string& text, const std::string& title) const {
        return confirm ? confirm(text, title) : true;
    }
};

} // namespace vantor
