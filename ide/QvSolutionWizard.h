#pragma once
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QWizard>

// The texts the solution wizard writes, with "\r\n" ending every line.
namespace QvWizardText {
QString sampleFunction();
// A function of one number parameter that returns the given type.
QString defineFunction(const QString& name, const QString& returnType);
// A return statement that suits the type, or a comment where none is simple.
QString returnLine(const QString& returnType);
// The types the return type box offers; a function may return only these.
QStringList returnTypes();
}  // namespace QvWizardText

// Two pages: the task (a sample function, or a function of one's own) with a file
// name field, then the function's name and return type. Finish needs a name that
// is a plain identifier and a known return type.
class QvSolutionWizard : public QWizard {
public:
    enum PageId { kTaskPage, kFunctionPage };
    static constexpr int kFieldLength = 255;

    explicit QvSolutionWizard(QWidget* parent = nullptr);

    // The text for the choices made.
    QString generatedText() const;

    QListWidget* tasks() const { return tasks_; }
    QLineEdit* functionName() const { return name_; }
    QComboBox* returnType() const { return type_; }

private:
    bool definesFunction() const;

    QListWidget* tasks_;
    QLineEdit* fileName_;
    QLineEdit* name_;
    QComboBox* type_;
};
