#pragma once
// ScriptDialogs: the dialogs scripts put up for the user: an alert with up
// to three buttons, an open panel, a save panel, a one-line text input and
// a list choice. Each worker takes the argument dictionary, runs its
// dialog modally, returns the answer and, when a target is given, also
// hands it the answer through setReturnValue.
//
// Thread: GUI thread (the interpreter calls in through the main thread and
// waits).
#include <string>

#include "foundation/Value.h"

class QWidget;

namespace kl {

class ISInterpreter;

class ScriptDialogs {
public:
    // The clicked button's title; "" for anything else.
    static std::string doUserOptionCommand(const Dictionary& arguments, ISInterpreter* target = nullptr);
    // The (first) chosen path, "" after cancel. With "multiple" present the
    // target gets the list of chosen paths instead. Folders unless
    // "ForFile" is present.
    static std::string argsOpenFile(const Dictionary& arguments, ISInterpreter* target = nullptr);
    static std::string argsUserSaveFile(const Dictionary& arguments, ISInterpreter* target = nullptr);
    // [clicked title, text].
    static Array doUserInputCommand(const Dictionary& arguments, ISInterpreter* target = nullptr);
    // [clicked title, chosen items, their row numbers from 1].
    static Array userChoiceCommand(const Dictionary& arguments, ISInterpreter* target = nullptr);

    // Centres the dialog over the front document window, its top 80 px
    // below that window's top; without one it stays where it is.
    static void positionWindow(QWidget& dialog);
};

}  // namespace kl
