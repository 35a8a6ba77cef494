#pragma once
// QtCharacterSetQuestion: the reader's character-set question answered by
// the GetCharacterSet dialog. A cancel answers nullopt, on which the
// document fails the read with its own message.
//
// Ownership: borrowed by the documents that ask (setCharacterSetQuestion);
// the parent window is only watched.
// Thread: main thread.
#include <QPointer>
#include <QWidget>

#include "document/CharacterSetQuestion.h"

namespace kl {

class QtCharacterSetQuestion : public CharacterSetQuestion {
public:
    explicit QtCharacterSetQuestion(QWidget* parent = nullptr) : parent_(parent) {}

    std::optional<CharacterSetChoice> getCharacterSet(const std::optional<std::string>& guess,
                                                      std::uint32_t suggested) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace kl
