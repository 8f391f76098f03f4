#pragma once

#include <QString>

namespace cronalba {

enum class MessageIcon { None, Warning };

// A modal message box with an OK button only; returns once the user has dismissed it.
class MessageDialog {
public:
    virtual ~MessageDialog() = default;
    virtual void show(const QString &text, const QString &title, MessageIcon icon) = 0;
};

} // namespace cronalba
