#include "QvPendingInputDialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Values/QvBooleanValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"

namespace {
QString defaultPrompt(InputType type) {
    switch (type) {
    case QV_INPUT_NUMBER: return QStringLiteral("The script asks for a number:");
    case QV_INPUT_TEXT: return QStringLiteral("The script asks for a text:");
    case QV_INPUT_BOOLEAN: return QStringLiteral("The script asks for true or false:");
    }
    return {};
}

bool parseNumber(const QString& text, double* number) {
    bool ok = false;
    double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (number) *number = value;
    return ok;
}
}  // namespace

QvPendingInputDialog::QvPendingInputDialog(InputType type, const QString& prompt, const QvValue* defaultValue,
                                           QvSourceText::Encoding encoding, QWidget* parent)
    : QDialog(parent), type_(type), encoding_(encoding),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel)) {
    setWindowTitle(QStringLiteral("Quarvel"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(prompt.isEmpty() ? defaultPrompt(type) : prompt);
    label->setWordWrap(true);
    layout->addWidget(label);
    if (type == QV_INPUT_BOOLEAN) {
        truth_ = new QComboBox;
        truth_->addItems({QStringLiteral("true"), QStringLiteral("false")});
        if (defaultValue) truth_->setCurrentIndex(defaultValue->AsBoolean() ? 0 : 1);
        layout->addWidget(truth_);
    } else {
        field_ = new QLineEdit;
        if (defaultValue) field_->setText(QvSourceText::decode(QByteArray::fromStdString(defaultValue->AsText()), encoding));
        field_->selectAll();
        layout->addWidget(field_);
        connect(field_, &QLineEdit::textChanged, this, &QvPendingInputDialog::updateOk);
    }
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateOk();
}

void QvPendingInputDialog::updateOk() {
    bool usable = type_ != QV_INPUT_NUMBER || parseNumber(field_->text(), nullptr);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(usable);
}

QvValue* QvPendingInputDialog::answer() const {
    if (result() != QDialog::Accepted) return nullptr;
    switch (type_) {
    case QV_INPUT_NUMBER: {
        double number = 0;
        return parseNumber(field_->text(), &number) ? QvNumberCreate(number) : nullptr;
    }
    case QV_INPUT_TEXT: return QvTextCreate(QvSourceText::encode(field_->text(), encoding_).constData());
    case QV_INPUT_BOOLEAN: return QvBooleanCreate(truth_->currentIndex() == 0);
    }
    return nullptr;
}

QvValue* QvPendingInputDialog::ask(InputType type, const char* prompt, const QvValue* defaultValue,
                                   QvSourceText::Encoding encoding, QWidget* parent) {
    QString promptText = prompt ? QvSourceText::decode(QByteArray(prompt), encoding) : QString();
    QvPendingInputDialog dialog(type, promptText, defaultValue, encoding, parent);
    dialog.exec();
    return dialog.answer();
}
