#include "ui/qt_desktop.h"

#include "game/texts.h"
#include "ui/text_conversion.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

namespace pylons {
namespace {

// The file dialog, refusing a file in a folder that does not exist when asked to: Qt's own save
// form would otherwise take any name and leave the game to fail writing it. (A desktop's native
// dialog lets the player pick only folders that exist.)
class GameFileDialog final : public QFileDialog {
public:
    GameFileDialog(QWidget* owner, const QString& title, bool pathMustExist)
        : QFileDialog(owner, title), pathMustExist_(pathMustExist) {}

    void accept() override {
        const QStringList chosen = selectedFiles();
        if (pathMustExist_ && !chosen.isEmpty()) {
            const QFileInfo file(chosen.constFirst());
            if (!file.isDir() && !QFileInfo(file.absolutePath()).isDir()) {
                QMessageBox::warning(this, windowTitle(),
                                     tr("%1\nThe folder does not exist.\nPlease verify the "
                                        "correct folder was given.")
                                         .arg(QDir::toNativeSeparators(file.absolutePath())));
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    bool pathMustExist_;
};

} // namespace

MsgResult QtDesktop::MsgBox(std::string_view text, MsgStyle style) {
    const QMessageBox::Icon icon =
        style == MsgStyle::Critical ? QMessageBox::Critical : QMessageBox::Information;
    const QMessageBox::StandardButtons buttons =
        style == MsgStyle::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    // The game's two-line texts break with "\r\n"; Qt wants a plain line feed.
    QString shown = FromGameText(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    ShowOwner();
    const DialogOpen open(*this);
    QMessageBox box(icon, FromGameText(texts::kTitle), shown, buttons, owner_);
    box.setObjectName(QStringLiteral("msgBox"));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    default:
        return MsgResult::Ok;
    }
}

std::string QtDesktop::InputBox(std::string_view prompt, std::string_view title,
                                std::string_view defaultText) {
    ShowOwner();
    const DialogOpen open(*this);
    QInputDialog dialog(owner_);
    dialog.setObjectName(QStringLiteral("inputBox"));
    dialog.setWindowTitle(FromGameText(title));
    dialog.setLabelText(FromGameText(prompt));
    // The name offered is the one typed last time, exactly, wherever the game offers its
    // single-byte form.
    const bool offeringLast = !lastTyped_.isEmpty() && ToGameText(lastTyped_) == defaultText;
    dialog.setTextValue(offeringLast ? lastTyped_ : FromGameText(defaultText));
    lastTyped_.clear();
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    lastTyped_ = dialog.textValue();
    return ToGameText(lastTyped_);
}

void QtDesktop::Beep() {
    QApplication::beep();
}

std::optional<std::filesystem::path> QtDesktop::ChooseFile(FileDialogMode mode,
                                                           const FileDialog& settings) {
    const DialogOpen open(*this);
    GameFileDialog dialog(owner_, FromGameText(settings.DialogTitle), settings.PathMustExist);
    dialog.setObjectName(QStringLiteral("cdbFilePic"));
    // "Pylons games|*.WIM": a description and its pattern.
    const QString filter = FromGameText(settings.Filter);
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    dialog.setNameFilter(bar < 0 ? filter
                                 : filter.left(bar) + QStringLiteral(" (") + filter.mid(bar + 1) +
                                       QLatin1Char(')'));
    dialog.setDefaultSuffix(FromGameText(settings.DefaultExt));
    if (mode == FileDialogMode::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !settings.OverwritePrompt);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(settings.FileMustExist ? QFileDialog::ExistingFile
                                                  : QFileDialog::AnyFile);
    }
    if (!settings.FileName.empty()) {
        dialog.selectFile(QFile::decodeName(settings.FileName.string().c_str()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    // Names as long as the system allows: no limit of our own.
    const QString chosen = dialog.selectedFiles().constFirst();
#if defined(_WIN32)
    return std::filesystem::path(chosen.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(chosen).toStdString());
#endif
}

void QtDesktop::Announce(std::string_view words) {
    if (say_) {
        say_(FromGameText(words));
    }
}

void QtDesktop::ShellOpen(std::string_view target) {
    // The result is not looked at: a desktop without a browser or mail program says nothing.
    QDesktopServices::openUrl(QUrl(FromGameText(target)));
}

} // namespace pylons
