#pragma once
#include <memory>
#include <string>

#include "Errors/QvException.h"

// Runs `action` and returns the message of the QvException it throws (deleting it),
// or "<no error>" when it returns normally.
template <class Action>
std::string raisedMessage(Action&& action) {
    try {
        action();
    } catch (QvException* raised) {
        std::unique_ptr<QvException> owned(raised);
        return owned->message();
    }
    return "<no error>";
}
