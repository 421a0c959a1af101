#include "QvSolutionWizard.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QWizardPage>

#include "QvSyntaxColouring.h"

namespace {
const char* const kSampleTask = "Insert a sample function (the square of x)";
const char* const kDefineTask = "Define a function";

// The task page ends the wizard when the sample is chosen.
class TaskPage : public QWizardPage {
public:
    TaskPage(QListWidget* tasks, QLineEdit* fileName) : tasks_(tasks) {
        setTitle(QStringLiteral("Solution Wizard"));
        setSubTitle(QStringLiteral("Choose what to add to the end of the program."));
        auto* layout = new QFormLayout(this);
        layout->addRow(QStringLiteral("Task:"), tasks);
        layout->addRow(QStringLiteral("File name:"), fileName);
        connect(tasks, &QListWidget::currentRowChanged, this, &QWizardPage::completeChanged);
    }
    int nextId() const override {
        return tasks_->currentRow() == 1 ? QvSolutionWizard::kFunctionPage : -1;
    }

private:
    QListWidget* tasks_;
};

class FunctionPage : public QWizardPage {
public:
    FunctionPage(QLineEdit* name, QComboBox* type) : name_(name), type_(type) {
        setTitle(QStringLiteral("Define Function"));
        setSubTitle(QStringLiteral("The function takes one number, x, and returns a value of the chosen type."));
        auto* layout = new QFormLayout(this);
        layout->addRow(QStringLiteral("Function name:"), name);
        layout->addRow(QStringLiteral("Return type:"), type);
        connect(name, &QLineEdit::textChanged, this, &QWizardPage::completeChanged);
        connect(type, &QComboBox::currentTextChanged, this, &QWizardPage::completeChanged);
    }
    bool isComplete() const override {
        return QvIsPlainIdentifier(name_->text()) && QvWizardText::returnTypes().contains(type_->currentText());
    }

private:
    QLineEdit* name_;
    QComboBox* type_;
};
}  // namespace

QString QvWizardText::sampleFunction() { return QStringLiteral("define f(x) begin return (x*x); end\r\n"); }

QString QvWizardText::defineFunction(const QString& name, const QString& returnType) {
    return QStringLiteral("// Function Define\r\n") + QStringLiteral("define ") + name +
           QStringLiteral("(number x) returns ") + returnType + QStringLiteral("\r\nbegin\r\n") +
           QStringLiteral("\t// put body of function here...\r\n") + returnLine(returnType) +
           QStringLiteral("\r\nend\r\n");
}

QString QvWizardText::returnLine(const QString& returnType) {
    if (returnType == QLatin1String("number") || returnType == QLatin1String("any"))
        return QStringLiteral("\treturn x;");
    if (returnType == QLatin1String("boolean")) return QStringLiteral("\treturn false;");
    if (returnType == QLatin1String("text")) return QStringLiteral("\treturn \"\";");
    if (returnType == QLatin1String("vector")) return QStringLiteral("\treturn {};");
    return QStringLiteral("\t// return a ") + returnType + QStringLiteral(" value here");
}

QStringList QvWizardText::returnTypes() {
    return {QStringLiteral("number"), QStringLiteral("boolean"),     QStringLiteral("text"),
            QStringLiteral("vector"), QStringLiteral("color"),       QStringLiteral("list"),
            QStringLiteral("date"),   QStringLiteral("any"),         QStringLiteral("none"),
            QStringLiteral("frame"),  QStringLiteral("frame_mono"),  QStringLiteral("image"),
            QStringLiteral("image_mono"), QStringLiteral("movie"),   QStringLiteral("videosource"),
            QStringLiteral("video_output")};
}

QvSolutionWizard::QvSolutionWizard(QWidget* parent)
    : QWizard(parent), tasks_(new QListWidget), fileName_(new QLineEdit), name_(new QLineEdit),
      type_(new QComboBox) {
    setWindowTitle(QStringLiteral("Solution Wizard"));
    setWizardStyle(QWizard::ClassicStyle);
    tasks_->addItems({QString::fromLatin1(kSampleTask), QString::fromLatin1(kDefineTask)});
    tasks_->setCurrentRow(0);
    fileName_->setMaxLength(kFieldLength);
    name_->setMaxLength(kFieldLength);
    type_->setEditable(true);
    type_->addItems(QvWizardText::returnTypes());
    type_->lineEdit()->setMaxLength(kFieldLength);
    type_->setCurrentText(QStringLiteral("number"));
    setPage(kTaskPage, new TaskPage(tasks_, fileName_));
    setPage(kFunctionPage, new FunctionPage(name_, type_));
}

bool QvSolutionWizard::definesFunction() const { return tasks_->currentRow() == 1; }

QString QvSolutionWizard::generatedText() const {
    return definesFunction() ? QvWizardText::defineFunction(name_->text(), type_->currentText())
                             : QvWizardText::sampleFunction();
}
