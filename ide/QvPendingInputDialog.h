#pragma once
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>

#include "QvSourceText.h"
#include "Session/QvParser.h"

class QvValue;

// Asks the user for the value a running script requested: a number, a text or a
// truth value, starting from the request's default. OK stays disabled while a number
// field does not hold a number. Texts travel in the script's encoding.
class QvPendingInputDialog : public QDialog {
public:
    QvPendingInputDialog(InputType type, const QString& prompt, const QvValue* defaultValue,
                         QvSourceText::Encoding encoding, QWidget* parent);

    // The answer as a new engine value, or null when the dialog was not accepted.
    QvValue* answer() const;
    // Shows the dialog and returns its answer.
    static QvValue* ask(InputType type, const char* prompt, const QvValue* defaultValue,
                        QvSourceText::Encoding encoding, QWidget* parent);

private:
    void updateOk();

    InputType type_;
    QvSourceText::Encoding encoding_;
    QLineEdit* field_ = nullptr;
    QComboBox* truth_ = nullptr;
    QDialogButtonBox* buttons_;
};
