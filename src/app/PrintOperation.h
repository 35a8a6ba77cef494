#pragma once
// PrintOperation: the print run that is going on, as the printing helpers
// see it: while an operation object lives it is the current operation of
// its thread (the innermost one, when runs nest), and its print information
// tells the paper size and the imageable bounds, the part of the paper the
// printer can mark. The desktop layer makes one around each print run from
// its printer; tests make their own.
//
// Coordinates are points of the paper with the origin at its bottom-left
// corner and y growing upwards, as print information gives them; a flipped
// rectangle measures y from the top edge instead
// (AppController::currentPrintImageRect).
//
// Ownership: a scope, made on the stack of the code that prints.
// Thread: the thread that prints (one current operation per thread).
namespace kl {

struct PrintRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    bool operator==(const PrintRect&) const = default;
};

struct PrintPage {
    double paperWidth = 0;
    double paperHeight = 0;
    PrintRect imageable;
    bool operator==(const PrintPage&) const = default;
};

class PrintOperation {
public:
    virtual ~PrintOperation();
    PrintOperation(const PrintOperation&) = delete;
    PrintOperation& operator=(const PrintOperation&) = delete;

    // The innermost operation living on this thread, else nullptr.
    static PrintOperation* currentOperation();
    virtual PrintPage printInfo() const = 0;

protected:
    // Becomes the current operation of the thread until it is destroyed.
    PrintOperation();

private:
    PrintOperation* previous_;
};

}  // namespace kl
