#pragma once
// Reads the command language of internal scripts and interface templates
// and runs its control flow: conditional blocks, loops and subroutines.
//
// Source mode works over a text: scripts ask for one command after another
// (nextCommand) and the parser skips blocks, leaves loops and returns from
// subroutines by itself; templates pass through source mode once, when they
// are compiled (tokenizeCommands). Token mode works over a compiled template
// shared by every pane build (nextTokenCommand) and hands out only the
// commands the pane builder runs itself.
//
// Ownership: the parser owns its text or shares the compiled commands, its
// loop and call stacks and its definitions; the expression server is a
// plain pointer that outlives the parser. A parser belongs to one thread
// (the script thread, or the main thread for templates). Errors are never
// raised: they travel as marked command arrays.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Value.h"
#include "script/CommandCode.h"
#include "script/CommandCompiler.h"
#include "script/DefFunctionSource.h"
#include "script/ExpressionEvaulator.h"
#include "script/RepeatObject.h"
#include "script/SubroutineCall.h"
#include "script/SubroutineDef.h"
#include "script/Variables.h"

namespace kl {

using CompiledCommands = std::vector<Command>;

class CommandParcer : public DefFunctionSource {
public:
    // Error markers put in front of failed source commands.
    static constexpr const char* TerminationError = "_termination_error_";
    static constexpr const char* FormattingError = "_formatting_error_";
    static constexpr const char* LogicError = "_logic_error_";
    // Deepest nesting of subroutine calls before a call is refused; endless
    // recursion in a script becomes a script error instead of eating memory.
    static constexpr std::size_t maxSubroutineDepth = 10000;

    // Source mode over the text.
    explicit CommandParcer(std::string commands);
    // Token mode over a compiled template.
    explicit CommandParcer(std::shared_ptr<const CompiledCommands> tokens);

    void setExpressionServer(ExpressionEvaulator* server) { expressionServer_ = server; }
    ExpressionEvaulator* expressionServer() const { return expressionServer_; }

    // Replaces the leading "load" lines by module texts. Scripts pass an
    // array [extension, folder...]; templates a dictionary of template texts
    // and the append text (".txt") that completes each name to its key.
    // nullopt, or the error text.
    std::optional<std::string> loadPreambles(const Value& modules,
                                             const std::optional<std::string>& append);
    // A script or module file's text; nullopt when it cannot be read or is
    // not UTF-8.
    static std::optional<std::string> readTextFile(const std::string& path);

    // ---- Readers ------------------------------------------------------
    // The next source command, nullopt at the end of the text or at "exit".
    std::optional<Command> nextCommand();
    // The next source command with its code at index 1 (compiling only).
    std::optional<Command> readNextCommand();
    // Compiles the whole text; compile errors raise through the compiler.
    std::shared_ptr<const CompiledCommands> tokenizeCommands(CommandCompiler& compiler);
    // Token mode: the next command the pane builder runs; nullopt at the end.
    std::optional<Command> nextTokenCommand();

    // After a false condition (false) or at an else reached from a true
    // branch (true): moves the cursor past the block; false when its end is
    // not found.
    bool skipIfBlock(bool fromTrueBranch);
    bool skipIfBlockTokens(bool fromTrueBranch);

    std::size_t commandLoc() const { return commandLoc_; }
    void setCommandLoc(std::size_t loc) { commandLoc_ = loc; }
    std::size_t previousLoc() const { return previousLoc_; }
    // The end cursor of token mode (true) or source mode (false).
    std::size_t maxCommandLoc(bool tokens) const;
    // Replaces the text from loc to the cursor with text and a line feed and
    // puts the cursor at loc.
    void insertCommands(const std::string& text, std::size_t loc);

    struct CommandPosition {
        std::size_t line = 0;
        std::size_t column = 0;
        std::string stackTrace;
    };
    // Where the last command read stands in the file as it was written.
    // Moves the cursor: the parser is not used after an error.
    CommandPosition commandLine();

    static void setStartTime();
    static double secondsSinceReference();

    // ---- Loops --------------------------------------------------------
    void repeatCmd(const std::optional<std::string>& variable, double from, double to, double step,
                   Variables& variables);
    bool repeatCmd(const std::optional<std::string>& variable, std::shared_ptr<RepeatDelegate> delegate,
                   Variables& variables, Dictionary* objects);
    bool continueCmd(Variables& variables, Dictionary* objects, bool atEnd);
    bool breakCmd(bool all);
    std::size_t minRepeatCount() const;
    const std::vector<std::unique_ptr<RepeatObject>>& repeatStack() const { return repeatStack_; }

    // ---- Subroutines and defs -----------------------------------------
    std::optional<std::string> findSubroutines();
    std::optional<std::string> findSubroutinesByTokens();
    bool hasDefinedSub(const std::string& name) const;
    const std::vector<std::string>* defByName(const std::string& name) const override;
    bool checkForGosub(Command& command);
    std::optional<std::string> callSubroutine(const Command& command, Variables& variables);
    std::optional<std::string> exitSubroutine(const std::string& word);
    const std::vector<std::unique_ptr<SubroutineCall>>& subStack() const { return subStack_; }

    // ---- Lexer --------------------------------------------------------
    // Skips blanks; a "!" starts a comment to the line end. The character at
    // the cursor, a blank at the end of the text.
    char nextNonWhite();
    // One argument; nullopt for an unclosed quote or group or a stray ")".
    std::optional<std::string> nextArgument();
    // The raw text to the line end; the cursor passes that line end.
    std::string restOfCommand();
    void processBracedArgs(Command& command);
    void parceEquation(const std::string& line, Command& command) const;
    static void eqnCondError(const std::string& text, const std::string& message, Command& command);
    void parceConditional(const std::string& text, std::size_t textLoc, Command& command);
    void parceNextConditional(const std::string& text, std::size_t textLoc, Command& command);
    static std::string unquote(std::string_view text);

private:
    enum class WordRead { End, Word, Assignment, Failed };
    struct SubroutineEntry {
        std::unique_ptr<SubroutineDef> def;
        std::size_t commandIndex = 0;  // while compiling
    };

    bool atEnd() const { return commandLoc_ >= commands_.size(); }
    bool atLineEnd() const;
    void skipLine();
    WordRead readWord(Command& command);
    bool readArgumentsToLineEnd(Command& command);
    void readCondition(Command& command, bool compiling);
    std::optional<Command> dispatchSourceWord(Command& command, const std::string& word, bool& again);
    std::optional<Command> dispatchCompileWord(Command& command, const std::string& word);
    Command readSkippedCommand();
    std::optional<std::string> readSubroutineBody(const std::string& name, SubroutineDef& def);
    std::optional<std::string> collectSourceDef(const Command& command);
    std::optional<std::string> collectSourceSub(const Command& command);
    std::optional<std::string> collectTokenSub(const Command& command);
    bool scanForEndRepeats(std::size_t count);
    void storeLoopValue(RepeatObject& loop, const Value& value, Variables& variables,
                        Dictionary* objects);
    std::optional<Command> tokenError(Command command, const std::string& message) const;
    void compileOne(Command command, CommandCompiler& compiler, std::vector<Command>& compiled,
                    int& openIfs);
    std::optional<std::string> loadOneCommand(const Command& command, const Value& modules,
                                              const std::optional<std::string>& append,
                                              std::string& inserted);

    std::string commands_;
    std::shared_ptr<const CompiledCommands> tokens_;
    bool tokenMode_ = false;
    std::size_t commandLoc_ = 0;
    std::size_t previousLoc_ = 0;
    std::vector<std::unique_ptr<RepeatObject>> repeatStack_;
    std::vector<std::unique_ptr<SubroutineCall>> subStack_;
    std::map<std::string, SubroutineEntry> subDefs_;
    std::map<std::string, std::vector<std::string>> defDefs_;
    std::map<std::string, std::size_t> compiledDefs_;  // while compiling
    int gosubArgs_ = 0;
    ExpressionEvaulator* expressionServer_ = nullptr;
    bool skipping_ = false;
    bool mapElseIfCommand_ = false;
    // The last condition read ended in " then ": its command follows on the
    // same line. Kept as a flag so that a block if whose text happens to end
    // in "n" is never taken for a one-line if.
    bool conditionThen_ = false;
    std::int64_t preambleStart_ = 0;
    std::int64_t preambleEnd_ = 0;
    std::optional<std::string> removedCommands_;

    static std::atomic<std::int64_t> startTime_;
};

}  // namespace kl
