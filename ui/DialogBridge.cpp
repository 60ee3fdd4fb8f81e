#include "DialogBridge.h"

#include "QtTexts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

namespace tovrel::ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// "Text Files|*.xml|All|*.*" -> {"Text Files (*.xml)", "All (*)"}.
QStringList NameFilters(const std::string& filter) {
    QStringList parts = Q(filter).split('|');
    QStringList out;
    auto patterns = [](QString p) { return p.replace(';', ' ').replace("*.*", "*"); };
    if (parts.size() == 1) {
        if (!parts[0].isEmpty()) out << patterns(parts[0]);
        return out;
    }
    for (int i = 0; i + 1 < parts.size(); i += 2) out << parts[i] + " (" + patterns(parts[i + 1]) + ")";
    return out;
}

// The fixed extensions ("xml") of a name filter's patterns, in order.
QStringList FilterExtensions(const QString& name_filter) {
    QString patterns = name_filter;
    const qsizetype open = patterns.lastIndexOf('(');
    if (open >= 0 && patterns.endsWith(')')) patterns = patterns.mid(open + 1, patterns.size() - open - 2);
    QStringList out;
    for (const QString& pattern : patterns.split(' ', Qt::SkipEmptyParts)) {
        if (!pattern.startsWith("*.")) continue;
        const QString extension = pattern.mid(2);
        const bool wildcard = extension.contains('*') || extension.contains('?') || extension.contains('[');
        if (extension.isEmpty() || wildcard) continue;
        out << extension;
    }
    return out;
}

// A file dialog whose confirmed name, when it saves, gets the filter's
// extension before the dialog takes it, so that the question about replacing
// a file asks about the file that is really written.
class FileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList files = selectedFiles();
        if (acceptMode() == AcceptSave && files.size() == 1 && !QFileInfo(files.first()).isDir()) {
            const QString named = WithFilterExtension(files.first(), selectedNameFilter());
            if (named != files.first()) {
                // The typed text keeps any folder the user typed in front of
                // the name; only the missing extension is added to it.
                auto* edit = findChild<QLineEdit*>("fileNameEdit");
                if (edit && !edit->text().isEmpty() && named.startsWith(files.first()))
                    edit->setText(edit->text() + named.mid(files.first().size()));
                else
                    selectFile(named);
            }
        }
        QFileDialog::accept();
    }
};

}  // namespace

QString WithFilterExtension(const QString& typed, const QString& name_filter) {
    const QStringList extensions = FilterExtensions(name_filter);
    const QString name = QFileInfo(typed).fileName();
    if (extensions.isEmpty() || name.isEmpty()) return typed;
    for (const QString& extension : extensions)
        if (name.endsWith("." + extension, Qt::CaseInsensitive)) return typed;
    return typed + (typed.endsWith('.') ? "" : ".") + extensions.first();
}

DialogBridge::DialogBridge(QObject* gui, std::function<void()> before) : gui_(gui), before_(std::move(before)) {}

DialogBridge::~DialogBridge() {
    for (auto& box : notices_) delete box.data();
}

bool DialogBridge::OnGuiThread() const { return QThread::currentThread() == gui_->thread(); }

void DialogBridge::RunModal(const std::function<void()>& body) {
    auto run = [this, &body] {
        if (before_) before_();
        body();
    };
    if (OnGuiThread()) run();
    else QMetaObject::invokeMethod(gui_, run, Qt::BlockingQueuedConnection);
}

void DialogBridge::Notify(const std::string& text) {
    QMetaObject::invokeMethod(gui_, [this, text] {
        const QString shown = Q(text);
        std::erase_if(notices_, [](const QPointer<QMessageBox>& b) { return b.isNull(); });
        for (const auto& open : notices_)
            if (open->text() == shown) {
                open->raise();
                return;
            }
        auto* box = new QMessageBox(QMessageBox::NoIcon, QString("Message"), shown, QMessageBox::Ok);
        box->setObjectName("NoticeBox");
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        notices_.emplace_back(box);
        box->show();
    }, Qt::QueuedConnection);
}

void DialogBridge::Show(const std::string& text, Box kind) {
    RunModal([&] {
        const QString title = kind == Box::Message ? QString("Message") : QCoreApplication::applicationName();
        QMessageBox box(kind == Box::Error ? QMessageBox::Critical : QMessageBox::NoIcon, title, Q(text),
                        QMessageBox::Ok);
        box.setObjectName(kind == Box::Error ? "ErrorBox" : kind == Box::Info ? "InfoBox" : "MessageBox");
        box.exec();
    });
}

bool DialogBridge::Confirm(const std::string& question) {
    bool yes = false;
    RunModal([&] {
        QMessageBox box(QMessageBox::Question, QString("Message"), Q(question), QMessageBox::Yes | QMessageBox::No);
        box.setObjectName("ConfirmBox");
        box.button(QMessageBox::Yes)->setText(QTr(UiText::ConfirmYes));
        box.button(QMessageBox::No)->setText(QTr(UiText::ConfirmNo));
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        yes = box.exec() == QMessageBox::Yes;
    });
    return yes;
}

std::optional<std::string> DialogBridge::ChooseFile(const std::string& dialog, FileDialogMode mode,
                                                    const std::string& filter) {
    std::optional<std::string> result;
    RunModal([&] {
        const bool save = mode == FileDialogMode::Save;
        FileDialog box;
        box.setObjectName(Q(dialog));
        box.setOption(QFileDialog::DontUseNativeDialog);
        box.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        box.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        box.setNameFilters(NameFilters(filter));
        if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return;
        QString chosen = box.selectedFiles().first();
        if (save) chosen = WithFilterExtension(chosen, box.selectedNameFilter());
        result = chosen.toStdString();
    });
    return result;
}

}  // namespace tovrel::ui
