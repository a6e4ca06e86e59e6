#include "game/links.h"
#include "storage/hiscore.h"
#include "support/game_fixture.h"
#include "ui/board_widgets.h"
#include "ui/frm_about.h"
#include "ui/frm_hiscore.h"
#include "ui/icon.h"
#include "ui/main_window.h"
#include "ui/modal_script.h"
#include "ui/platform.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include <fstream>
#include <memory>

namespace pylons {

using testing::ModalScript;

// Records the addresses handed to the desktop's opener.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QStringList opened;
public slots:
    void handle(const QUrl& url) { opened << url.toString(); }
};

class MainWindowTest : public QObject {
    Q_OBJECT

public:
    // Before the application exists, as the game does it.
    static void initMain() { PrepareDesktopPlatform(); }

private:
    QTemporaryDir dir_;
    std::unique_ptr<MainWindow> window_;

    std::filesystem::path Folder() const { return dir_.path().toStdString(); }

    void Open() {
        window_ = std::make_unique<MainWindow>(HiScorePath(Folder()));
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        if (CanActivate()) {
            window_->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        }
    }
    // On Wayland only the compositor moves the focus between windows.
    static bool CanActivate() { return QGuiApplication::platformName() != "wayland"; }
    QWidget* Child(const char* name) const {
        auto* child = window_->findChild<QWidget*>(QLatin1String(name));
        Q_ASSERT(child != nullptr);
        return child;
    }
    // A point of a child widget in the coordinates of the top-level window.
    QPoint At(QWidget* child, QPoint local) const { return child->mapTo(window_.get(), local); }
    QPoint Centre(QWidget* child) const { return At(child, child->rect().center()); }
    QPoint ColumnPoint(int pole) const {
        const int columns = window_->Game().Level() <= 5 ? 3 : 4;
        QWidget* board = Child("board");
        return At(board, QPoint(board->width() * (2 * pole - 1) / (2 * columns), 100));
    }
    // A menu item's shortcut as the player presses it; where only the compositor gives the
    // window the keyboard (Wayland), the item is chosen instead.
    void Shortcut(const char* item, QKeyCombination keys) {
        if (CanActivate()) {
            QTest::keyClick(window_.get(), keys.key(), keys.keyboardModifiers());
        } else {
            window_->findChild<QAction*>(QLatin1String(item))->trigger();
        }
    }
    QString Panel(int n) const {
        return window_->findChild<QLabel*>(QStringLiteral("panel%1").arg(n))->text();
    }

    // Presses on a ring, moves in steps to `to`, releases there.
    void Drag(QWidget* ring, QPoint to) {
        QWindow* handle = window_->windowHandle();
        const QPoint from = Centre(ring);
        QTest::mousePress(handle, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 4; ++step) {
            QTest::mouseMove(handle, from + (to - from) * step / 4);
        }
        QTest::mouseRelease(handle, Qt::LeftButton, {}, to);
    }
    // The top ring of a pole; nothing when the pole is empty.
    QWidget* TopRing(int pole) const {
        const PaalBase& paal = const_cast<frmMain&>(window_->Game()).PaalNr(pole);
        return paal.Ringen().empty() ? nullptr
                                     : Child(paal.Ringen().back()->RingShape().Name.c_str());
    }
    void Move(int from, int to) {
        QWidget* ring = TopRing(from);
        QVERIFY2(ring != nullptr, qPrintable(QStringLiteral("pole %1 has no ring").arg(from)));
        Drag(ring, ColumnPoint(to));
    }
    // Plays a whole level the shortest way by dragging, and checks that the next one began.
    // On Wayland the compositor moves the focus back to the window after a level's messages
    // when it gets to it, and a drag that the change of focus meets half-way ends with no drop,
    // as it should for a player; such a drag (it counts nothing) is made again.
    void PlayLevel(int level) {
        for (const auto& [from, to] : testing::Solve(level, PolesInPlay(level))) {
            const double before = window_->Game().Moves();
            for (int attempt = 0; attempt < 3 && window_->Game().Moves() == before; ++attempt) {
                Move(from, to);
                QVERIFY(!QTest::currentTestFailed());
                QTest::qWait(CanActivate() ? 0 : 20);
            }
            QVERIFY2(window_->Game().Moves() != before, "a drag was lost three times");
        }
        QCOMPARE(window_->windowTitle(), QStringLiteral("Pylons - Level %1").arg(level + 1));
    }

private slots:
    void init() {
        QVERIFY(dir_.isValid());
        std::filesystem::remove(Folder() / "HiScore.Dat");
    }
    void cleanup() { window_.reset(); }

    void startsAtLevelThreeWithTheBoardInPlace() {
        Open();
        QCOMPARE(window_->windowTitle(), QStringLiteral("Pylons - Level 3"));
        QCOMPARE(Child("board")->size(), QSize(267, 305));
        QCOMPARE(Child("picRing1")->geometry(), QRect(32, 200, 15, 25));
        QCOMPARE(Child("picRing3")->geometry(), QRect(23, 248, 33, 25));
        QVERIFY(Child("picRing3")->isVisible());
        QVERIFY(!Child("picRing4")->isVisible());
        QCOMPARE(Child("shpPaal2")->geometry(), QRect(123, 32, 9, 241));
        QVERIFY(!Child("shpPaal4")->isVisible());
        auto* option = qobject_cast<QRadioButton*>(Child("optPaal1"));
        QVERIFY(option->isChecked() && !option->isEnabled());
        QCOMPARE(Child("stbStatusBar")->geometry(), QRect(0, 280, 267, 25));
        QCOMPARE(Child("panel1")->width(), 80);
        QCOMPARE(Child("panel2")->width(), 137); // "panel 2 gives way in the narrow window"
        QCOMPARE(Child("panel3")->width(), 50);
        QCOMPARE(Panel(1), QStringLiteral("Moves 0"));
        QCOMPARE(Panel(2), QStringLiteral("Fastest time 0:00:00   "));
        QCOMPARE(Panel(3), QStringLiteral("0:00:00"));
        QVERIFY(std::filesystem::exists(Folder() / "HiScore.Dat"));
    }

    // File and Help as they always were: no shortcuts, always enabled. The Game menu between
    // them has its shortcuts, and disables what cannot act at a level's start.
    void menusCarryTheirCaptionsAndShortcuts() {
        Open();
        QStringList captions;
        for (QAction* menu : window_->menuBar()->actions()) {
            captions << menu->text();
            for (QAction* item : menu->menu()->actions()) {
                captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
                if (menu->text() != QStringLiteral("&Game")) {
                    QVERIFY(item->shortcut().isEmpty());
                    QVERIFY(item->isEnabled());
                } else if (!item->isSeparator()) {
                    captions.last() += QStringLiteral(" [%1]%2").arg(
                        item->shortcut().toString(),
                        item->isEnabled() ? QString() : QStringLiteral(" disabled"));
                }
            }
        }
        QCOMPARE(captions,
                 QStringList({"&File", "&Save", "&Open", "-", "&Hiscore", "-", "&Quit", "&Game",
                              "&Undo [Ctrl+Z] disabled", "&Redo [Ctrl+Shift+Z] disabled", "-",
                              "Re&start level []", "-", "H&int [H]", "S&olve []", "&Help",
                              "&Web site", "-", "&About"}));
    }

    void aDragFromPoleOneToPoleThreeMovesTheRingAndCounts() {
        Open();
        QWidget* ring = Child("picRing1");
        Drag(ring, ColumnPoint(3));
        QCOMPARE(Panel(1), QStringLiteral("Moves = 1"));
        QCOMPARE(ring->geometry(), QRect(208, 248, 15, 25));
        QVERIFY(qobject_cast<QRadioButton*>(Child("optPaal3"))->isChecked());
        QVERIFY(!qobject_cast<QRadioButton*>(Child("optPaal1"))->isChecked());
        QVERIFY(window_->Game().timElapsed.Enabled);
        QVERIFY(!Child("dragOutline")->isVisible());
    }

    void theOutlineFollowsThePointerAtTheGrabOffset() {
        Open();
        QWindow* handle = window_->windowHandle();
        QWidget* ring = Child("picRing1");
        const QPoint grab = At(ring, QPoint(3, 4));
        QTest::mousePress(handle, Qt::LeftButton, {}, grab);
        QTest::mouseMove(handle, grab + QPoint(60, -50));
        QWidget* outline = Child("dragOutline");
        QVERIFY(outline->isVisible());
        QCOMPARE(outline->geometry(), ring->geometry().translated(60, -50));
        QCOMPARE(ring->geometry(), QRect(32, 200, 15, 25)); // "the picture itself stays"
        QTest::mouseRelease(handle, Qt::LeftButton, {}, grab + QPoint(60, -50));
    }

    void aReleaseOverARingOrTheStatusBarCountsNothing() {
        Open();
        Drag(Child("picRing1"), Centre(Child("picRing3")));
        QCOMPARE(Panel(1), QStringLiteral("Moves 0"));
        Drag(Child("picRing1"), Centre(Child("panel2")));
        QCOMPARE(Panel(1), QStringLiteral("Moves 0"));
        QCOMPARE(Child("picRing1")->geometry(), QRect(32, 200, 15, 25));
        QVERIFY(!Child("dragOutline")->isVisible());
    }

    void aReleaseOnAPoleOrItsButtonCounts() {
        Open();
        Drag(Child("picRing1"), Centre(Child("shpPaal2")));
        QCOMPARE(Panel(1), QStringLiteral("Moves = 1"));
        Drag(Child("picRing1"), Centre(Child("optPaal3")));
        QCOMPARE(Panel(1), QStringLiteral("Moves = 2"));
        QCOMPARE(testing::LayoutOf(window_->Game()), (testing::Layout{{{3, 2}, {}, {1}, {}}}));
    }

    void aFixedRingCannotBePickedUp() {
        Open();
        Drag(Child("picRing3"), ColumnPoint(3));
        QCOMPARE(Panel(1), QStringLiteral("Moves 0"));
        QVERIFY2(!window_->Game().timElapsed.Enabled, "nothing was dragged over the window");
        QVERIFY(!Child("dragOutline")->isVisible());
    }

    void aDragEndsWhenTheButtonIsAlreadyUpOrTheWindowLosesFocus() {
        Open();
        QWindow* handle = window_->windowHandle();
        QWidget* ring = Child("picRing1");
        QTest::mousePress(handle, Qt::LeftButton, {}, Centre(ring));
        QTest::mouseMove(handle, ColumnPoint(2));
        QVERIFY(window_->Dragging());
        QMouseEvent buttonUp(QEvent::MouseMove, QPointF(5, 5), ring->mapToGlobal(QPointF(5, 5)),
                             Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(ring, &buttonUp);
        QVERIFY(!window_->Dragging());
        QVERIFY(!Child("dragOutline")->isVisible());
        QTest::mouseRelease(handle, Qt::LeftButton, {}, ColumnPoint(2));
        QCOMPARE(Panel(1), QStringLiteral("Moves 0"));

        if (!CanActivate()) {
            return;
        }
        QTest::mousePress(handle, Qt::LeftButton, {}, Centre(ring));
        QTest::mouseMove(handle, ColumnPoint(3));
        QVERIFY(window_->Dragging());
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(!window_->isActiveWindow());
        QVERIFY(!window_->Dragging());
        QTest::mouseRelease(handle, Qt::LeftButton, {}, ColumnPoint(3));
        QCOMPARE(Panel(1), QStringLiteral("Moves 0"));
    }

    void finishingLevelThreeByDraggingAnswersTheDialogsAndGoesOn() {
        Open();
        ModalScript script;
        QString behindTheMessage;
        script
            .Then([&](QWidget* w) {
                // The window behind the first message shows the finished tower and its count.
                behindTheMessage = Panel(1) + QStringLiteral(", ring 1 at ") +
                                   QString::number(Child("picRing1")->x()) + QLatin1Char(',') +
                                   QString::number(Child("picRing1")->y());
                qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
            })
            .Type(QStringLiteral("Zo\u00EB"))
            .Press();
        for (const auto& [from, to] : testing::Solve(3, 3)) {
            Move(from, to);
        }
        QVERIFY(script.Done());
        QCOMPARE(behindTheMessage, QStringLiteral("Moves = 7, ring 1 at %1,%2")
                                       .arg(ToPixels(3230 - 225 / 2.0))
                                       .arg(ToPixels(PaalBase::SlotTop(3))));
        QCOMPARE(script.seen,
                 QStringList({"Pylons (information): You score is good for FIRST place!",
                              "Hiscore: You name []", "Pylons (information): Good, Next Level!"}));
        QCOMPARE(window_->windowTitle(), QStringLiteral("Pylons - Level 4"));
        QCOMPARE(Child("board")->width(), 267);
        QVERIFY(Child("picRing4")->isVisible());
        QCOMPARE(Panel(1), QStringLiteral("Moves 0"));
        QVERIFY(!window_->Game().timElapsed.Enabled);
        const auto bytes = testing::ReadBytes(Folder() / "HiScore.Dat");
        QCOMPARE(bytes.size(), std::size_t{903});
        QCOMPARE(std::string(bytes.begin(), bytes.begin() + 25),
                 std::string("Zo\xEB") + std::string(22, ' '));
    }

    // A name with characters the file cannot hold goes to the file in its single-byte form, but
    // the next prompt offers it exactly as it was typed.
    void theNamePromptOffersTheNameExactlyAsTyped() {
        Open();
        const QString typed = QStringLiteral("Zo\u00EB \u674E");
        QString offered;
        ModalScript script;
        script.Press().Type(typed).Press();
        PlayLevel(3);
        QVERIFY(!QTest::currentTestFailed());
        const auto bytes = testing::ReadBytes(Folder() / "HiScore.Dat");
        QCOMPARE(std::string(bytes.begin(), bytes.begin() + 25),
                 std::string("Zo\xEB ?") + std::string(20, ' '));
        script.Press()
            .Then([&](QWidget* w) {
                auto* dialog = qobject_cast<QInputDialog*>(w);
                QVERIFY(dialog != nullptr);
                offered = dialog->textValue();
                dialog->accept();
            })
            .Press();
        PlayLevel(4);
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(script.Done());
        QCOMPARE(offered, typed);
        QVERIFY(window_->Game().HiScores.Record(4).Name.Str().substr(0, 6) == "Zo\xEB ? ");
    }

    void theHighScoreWindowShowsTheChosenLevelsRows() {
        HiScoreTable table;
        table.Record(1).Name.Assign("Ren\xE9");
        table.Record(1).Time.Assign("0:00:42");
        table.Record(1).Moves = 7;
        table.Record(21).Moves = 41;
        const auto bytes = table.Encode();
        std::ofstream(Folder() / "HiScore.Dat", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), 903);
        Open();
        QList<QStringList> rowsOf3, rowsOf9;
        bool emptyAtFirst = false;
        ModalScript script;
        script.Then([&](QWidget* w) {
            auto* combo = w->findChild<QComboBox*>(QStringLiteral("cmbLevels"));
            auto* list = w->findChild<QTreeWidget*>(QStringLiteral("lsvHiScore"));
            QCOMPARE(w->windowTitle(), QStringLiteral("Hiscore"));
            QCOMPARE(w->size(), QSize(338, 207));
            emptyAtFirst = combo->currentIndex() == -1 && list->topLevelItemCount() == 0;
            const auto rows = [list] {
                QList<QStringList> all;
                for (int i = 0; i < list->topLevelItemCount(); ++i) {
                    const QTreeWidgetItem* item = list->topLevelItem(i);
                    all << QStringList{item->text(0), item->text(1), item->text(2)};
                }
                return all;
            };
            combo->setFocus();
            QTest::keyClick(combo, Qt::Key_Down);
            rowsOf3 = rows();
            // The default name is drawn whole in its column: without its trailing blanks, which
            // stay in the row, it fits the text area the style leaves (no ellipsis).
            auto* drawn = qobject_cast<QStyledItemDelegate*>(list->itemDelegate());
            QVERIFY(drawn != nullptr);
            const QModelIndex second = list->model()->index(1, 0);
            const QString shown = drawn->displayText(second.data(), QLocale());
            QCOMPARE(shown, QStringLiteral("Wim Kolckenberger"));
            const int margin =
                list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
            const int room = list->visualRect(second).width() - 2 * margin;
            QVERIFY2(list->fontMetrics().horizontalAdvance(shown) <= room,
                     qPrintable(QStringLiteral("%1 px for %2 px")
                                    .arg(room)
                                    .arg(list->fontMetrics().horizontalAdvance(shown))));
            // With its blanks it would not fit: the ellipsis the player saw.
            QVERIFY(list->fontMetrics().horizontalAdvance(second.data().toString()) > room);
            QTest::keyClick(combo, Qt::Key_End);
            rowsOf9 = rows();
            QTest::mouseClick(w->findChild<QWidget*>(QStringLiteral("cmdOk")), Qt::LeftButton);
        });
        window_->mnuHiScore_Click();
        QVERIFY(emptyAtFirst);
        const QString defaultName = QStringLiteral("Wim Kolckenberger        ");
        const QString defaultTime = QStringLiteral("0:00:00   ");
        QCOMPARE(rowsOf3,
                 (QList<QStringList>{{QStringLiteral("Ren\u00E9                     "),
                                      QStringLiteral("0:00:42   "), QStringLiteral("7")},
                                     {defaultName, defaultTime, QStringLiteral("9999999")},
                                     {defaultName, defaultTime, QStringLiteral("9999999")}}));
        QCOMPARE(rowsOf9, (QList<QStringList>{{defaultName, defaultTime, QStringLiteral("9999999")},
                                              {defaultName, defaultTime, QStringLiteral("9999999")},
                                              {defaultName, defaultTime, QStringLiteral("41")}}));
    }

    void theAboutLinksAndTheWebSiteItemReachTheOpener() {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &recorder, "handle");
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &recorder, "handle");
        Open();
        ModalScript script;
        QSize aboutSize;
        QStringList texts;
        script.Then([&](QWidget* w) {
            aboutSize = w->size();
            for (const char* name : {"lblTheme", "lblNaam", "lblWebSite", "lblEmail"}) {
                texts << w->findChild<QLabel*>(QLatin1String(name))->text();
            }
            for (const char* name : {"lblWebSite", "lblEmail"}) {
                auto* label = w->findChild<QLabel*>(QLatin1String(name));
                QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
                QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
                QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {},
                                  label->mapTo(w, label->rect().center()));
            }
            QVERIFY2(w->isVisible(), "the window stays open");
            QTest::mouseClick(w->findChild<QWidget*>(QStringLiteral("cmdOk")), Qt::LeftButton);
        });
        window_->mnuAbout_Click();
        window_->mnuWeb_Click();
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        QCOMPARE(aboutSize, QSize(174, 153));
        QCOMPARE(texts, QStringList({"Pylons Version 1.0", "by Wim Kolckenberger",
                                     "http://www.example.com/", "pylons@example.com"}));
        QCOMPARE(recorder.opened,
                 QStringList({"http://www.example.com/", "mailto:pylons@example.com",
                              "http://www.example.com/"}));
    }

    void savingThroughTheFileDialogAddsTheExtensionAndLoadingRefusesAForeignFile() {
        std::ofstream(Folder() / "foreign.WIM") << "not a game at all";
        Open();
        Move(1, 2);
        ModalScript script;
        script.Then([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog != nullptr);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Pylons"));
            QCOMPARE(dialog->nameFilters(), QStringList{"Pylons games (*.WIM)"});
            dialog->setDirectory(dir_.path());
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name != nullptr);
            QTest::keyClicks(name, QStringLiteral("mygame"));
            QTest::keyClick(name, Qt::Key_Return);
        });
        window_->mnuSave_Click();
        QVERIFY(script.Done());
        const auto saved = testing::ReadBytes(Folder() / "mygame.WIM");
        QCOMPARE(saved.size(), std::size_t{118});
        QCOMPARE(int(saved[30]), 1); // "ring 1 on pole 2"

        script.Then([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog != nullptr);
            // The dialog offers the last name once it has read the folder; then the player
            // picks another file.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            auto* list = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
            QVERIFY(QTest::qWaitFor([name, list] {
                return name->text() == "mygame.WIM" && list->selectionModel()->hasSelection();
            }));
            name->setFocus();
            QTRY_VERIFY(name->hasFocus());
            name->selectAll();
            QTest::keyClicks(name, QStringLiteral("foreign.WIM"));
            QTest::keyClick(name, Qt::Key_Return);
        });
        script.Press();
        window_->mnuLoad_Click();
        QCOMPARE(script.seen.last(), QStringLiteral("Pylons (critical): Not A valid savegame"));
        QCOMPARE(Panel(1), QStringLiteral("Moves = 1"));
    }

    // The save form refuses a missing folder and asks before replacing a file; the open form
    // refuses a missing file. Each time the dialog stays open, and cancelling it changes nothing.
    void theFileDialogKeepsItsRules() {
        std::ofstream(Folder() / "exists.WIM") << "keep me";
        Open();
        Move(1, 2);
        const auto typeName = [&](const QString& name) {
            return [&, name](QWidget* w) {
                auto* dialog = qobject_cast<QFileDialog*>(w);
                QVERIFY(dialog != nullptr);
                dialog->setDirectory(dir_.path());
                auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                QVERIFY(edit != nullptr);
                edit->selectAll();
                QTest::keyClicks(edit, name);
                // Later, from the event loop: a refusal opens a message inside the dialog.
                QTimer::singleShot(0, edit, [edit] { QTest::keyClick(edit, Qt::Key_Return); });
            };
        };
        const auto pressIn = [](QMessageBox::StandardButton button, const QString& text) {
            return [button, text](QWidget* w) {
                auto* box = qobject_cast<QMessageBox*>(w);
                QVERIFY(box != nullptr);
                QVERIFY2(box->text().contains(text), qPrintable(box->text()));
                box->button(button)->click();
            };
        };
        ModalScript script;
        script.Then(typeName(QStringLiteral("no such folder/game")))
            .Then(pressIn(QMessageBox::Ok, QStringLiteral("The folder does not exist")))
            .Then(typeName(QStringLiteral("exists.WIM")))
            .Then(pressIn(QMessageBox::No, QStringLiteral("exists.WIM")))
            .Cancel();
        window_->mnuSave_Click();
        QVERIFY(script.Done());
        QCOMPARE(testing::ReadBytes(Folder() / "exists.WIM"),
                 (std::vector<std::uint8_t>{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
        QVERIFY(!std::filesystem::exists(Folder() / "no such folder"));

        script.Then(typeName(QStringLiteral("missing.WIM")))
            .Then(pressIn(QMessageBox::Ok, QStringLiteral("missing.WIM")))
            .Cancel();
        window_->mnuLoad_Click();
        QVERIFY(script.Done());
        QCOMPARE(script.seen.size(), 8);
        for (const QString& seen : script.seen) {
            QVERIFY2(!seen.contains(QStringLiteral("could not")), qPrintable(seen));
        }
        QCOMPARE(Panel(1), QStringLiteral("Moves = 1"));
    }

    // The pole buttons only show the target of a drag: a click does not select one.
    void thePoleButtonsCannotBeClicked() {
        Open();
        auto* button = qobject_cast<QRadioButton*>(Child("optPaal2"));
        QVERIFY(button->isVisible());
        QVERIFY(!button->isEnabled());
        QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {}, Centre(button));
        QVERIFY(!button->isChecked());
        QCOMPARE(window_->Game().optPaal.Selected(), 1);
        QCOMPARE(Panel(1), QStringLiteral("Moves 0"));
    }

    // Ctrl+Z and Ctrl+Shift+Z take a move back and make it again, as drags would; the menu
    // items follow what can be done.
    void undoAndRedoWithTheirKeys() {
        Open();
        Move(1, 3);
        auto* undo = window_->findChild<QAction*>(QStringLiteral("mnuUndo"));
        auto* redo = window_->findChild<QAction*>(QStringLiteral("mnuRedo"));
        QVERIFY(undo->isEnabled() && !redo->isEnabled());
        Shortcut("mnuUndo", Qt::CTRL | Qt::Key_Z);
        QCOMPARE(TopRing(1)->objectName(), QStringLiteral("picRing1"));
        QCOMPARE(Panel(1), QStringLiteral("Moves = 2"));
        QVERIFY(!undo->isEnabled() && redo->isEnabled());
        Shortcut("mnuRedo", Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        QCOMPARE(TopRing(3)->objectName(), QStringLiteral("picRing1"));
        QCOMPARE(Child("picRing1")->y(), ToPixels(PaalBase::SlotTop(1)));
        QCOMPARE(Panel(1), QStringLiteral("Moves = 3"));
        // The pole keys still pick up and put down.
        QTest::keyClick(window_.get(), Qt::Key_1);
        QTest::keyClick(window_.get(), Qt::Key_2);
        QCOMPARE(TopRing(2)->objectName(), QStringLiteral("picRing2"));
    }

    // H shows the hint on the board (the ring framed, the pole gold, the words on top), names
    // it for screen readers; the next move or a few seconds take it away.
    void aHintIsDrawnSaidAndGone() {
        Open();
        Shortcut("mnuHint", QKeyCombination(Qt::Key_H));
        auto* ring = qobject_cast<RingPicture*>(Child("picRing1"));
        auto* pole = qobject_cast<PoleShape*>(Child("shpPaal3"));
        auto* words = qobject_cast<QLabel*>(Child("hintText"));
        QVERIFY(ring->Hinted() && pole->Hinted());
        QVERIFY(!qobject_cast<RingPicture*>(Child("picRing2"))->Hinted());
        QVERIFY(words->isVisible());
        QCOMPARE(words->text(), QStringLiteral("Hint: ring 1 to pole 3, 7 moves to go"));
        QAccessibleInterface* said = QAccessible::queryAccessibleInterface(words);
        QVERIFY(said != nullptr);
        QCOMPARE(said->text(QAccessible::Name), words->text());
        QCOMPARE(Panel(1), QStringLiteral("Moves 0")); // a hint counts nothing
        const QString folder = qEnvironmentVariable("PYLONS_SCREENSHOTS");
        if (!folder.isEmpty()) {
            QDir().mkpath(folder);
            QVERIFY(window_->grab().save(folder + QStringLiteral("/hint.png")));
        }
        Move(1, 2);
        QVERIFY(!ring->Hinted() && !pole->Hinted() && !words->isVisible());
        Shortcut("mnuHint", QKeyCombination(Qt::Key_H));
        QVERIFY(words->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!words->isVisible(), 6000);
        QVERIFY(!window_->Game().ShownHint);
    }

    // Solve plays a move every half second, visibly, and any key stops it where it is.
    void solveShowsItsMovesAndAKeyStopsIt() {
        Open();
        auto* solve = window_->findChild<QAction*>(QStringLiteral("mnuSolve"));
        solve->trigger();
        QVERIFY(window_->Solving());
        QVERIFY(!solve->isEnabled());
        QCOMPARE(Panel(1), QStringLiteral("Moves = 1")); // the first move at once
        QTRY_COMPARE_WITH_TIMEOUT(Panel(1), QStringLiteral("Moves = 2"), 2000);
        QCOMPARE(TopRing(2)->objectName(), QStringLiteral("picRing2"));
        QTest::keyClick(window_.get(), Qt::Key_Shift);
        QVERIFY(!window_->Solving());
        QVERIFY(solve->isEnabled());
        const QString stopped = Panel(1);
        QTest::qWait(1200);
        QCOMPARE(Panel(1), stopped);
    }

    // Alt, let go, then a menu's access key opens that menu, even where an item's shortcut is
    // the same letter (H gives a hint, and &Help has H); H on its own still gives the hint.
    void altThenAMenusAccessKeyOpensTheMenu() {
        if (!CanActivate()) {
            QSKIP("the menu bar's keyboard mode needs an active window");
        }
        Open();
        auto* help = window_->findChild<QMenu*>(QStringLiteral("mnuHelp"));
        QTest::keyClick(window_.get(), Qt::Key_Alt);
        QTRY_VERIFY(window_->menuBar()->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_H);
        QTRY_VERIFY(help->isVisible());
        QVERIFY(!window_->Game().ShownHint);
        help->close();
        QTest::keyClick(window_.get(), Qt::Key_Escape);
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QTest::keyClick(window_.get(), Qt::Key_H);
        QVERIFY(window_->Game().ShownHint);
    }

    // Opening any of the menus, from the menu bar as a click or its access key would, stops
    // Solve where it is.
    void openingAnyMenuStopsSolve() {
        for (const char* name : {"mnuFile", "mnuGame", "mnuHelp"}) {
            Open();
            window_->findChild<QAction*>(QStringLiteral("mnuSolve"))->trigger();
            QVERIFY(window_->Solving());
            auto* menu = window_->findChild<QMenu*>(QLatin1String(name));
            window_->menuBar()->setActiveAction(menu->menuAction());
            QVERIFY2(menu->isVisible(), name);
            QVERIFY2(!window_->Solving(), name);
            menu->close();
            const QString stopped = Panel(1);
            QTest::qWait(700); // longer than a solver's step
            QCOMPARE(Panel(1), stopped);
        }
    }

    // Undo, Redo and Restart while a ring is lifted by its key: the lift ends with the move
    // taken back, made again or the tower put back, and the next pole key lifts afresh.
    void theAidsEndALiftByKey() {
        struct Aid {
            const char* item;
            QKeyCombination keys;
            int liftFrom; // the pole whose ring is lifted before the aid
            testing::Layout after;
            int nextPole; // a pole whose top ring the next key lifts
        };
        const Aid aids[] = {
            {"mnuUndo", Qt::CTRL | Qt::Key_Z, 1, {{{3, 2, 1}, {}, {}, {}}}, 1},
            {"mnuRedo", Qt::CTRL | Qt::SHIFT | Qt::Key_Z, 1, {{{3, 2}, {}, {1}, {}}}, 3},
            {"mnuRestart", QKeyCombination(), 1, {{{3, 2, 1}, {}, {}, {}}}, 1},
        };
        for (const Aid& aid : aids) {
            Open();
            Move(1, 3);
            if (QLatin1String(aid.item) == QLatin1String("mnuRedo")) {
                Shortcut("mnuUndo", Qt::CTRL | Qt::Key_Z);
            }
            QTest::keyClick(window_.get(), static_cast<char>('0' + aid.liftFrom));
            QVERIFY2(window_->HoldingByKeyboard(), aid.item);
            if (aid.keys.key() == Qt::Key_unknown) {
                window_->findChild<QAction*>(QLatin1String(aid.item))->trigger();
            } else {
                Shortcut(aid.item, aid.keys);
            }
            QVERIFY2(!window_->HoldingByKeyboard(), aid.item);
            QVERIFY2(!Child("dragOutline")->isVisible(), aid.item);
            QCOMPARE(testing::LayoutOf(window_->Game()), aid.after);
            QTest::keyClick(window_.get(), static_cast<char>('0' + aid.nextPole));
            QVERIFY2(window_->HoldingByKeyboard(), aid.item);
            QTest::keyClick(window_.get(), Qt::Key_2);
            QCOMPARE(TopRing(2)->objectName(), QStringLiteral("picRing1"));
        }
    }

    // Solved to the end, level 3 moves on to level 4 with its message, but no place and no
    // name prompt, and HiScore.Dat stays byte for byte as it was.
    void aLevelFinishedBySolveEntersNoHighScore() {
        Open();
        const auto scores = testing::ReadBytes(Folder() / "HiScore.Dat");
        ModalScript script;
        script.Then([](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box != nullptr);
            // Answered by its button: a key would stop the solver, which stops by itself here.
            box->button(QMessageBox::Ok)->click();
        });
        window_->findChild<QAction*>(QStringLiteral("mnuSolve"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(window_->windowTitle(), QStringLiteral("Pylons - Level 4"), 8000);
        QVERIFY(script.Done());
        QCOMPARE(script.seen, QStringList{"Pylons (information): Good, Next Level!"});
        QVERIFY(!window_->Solving());
        QCOMPARE(Panel(1), QStringLiteral("Moves 0"));
        QCOMPARE(testing::ReadBytes(Folder() / "HiScore.Dat"), scores);
    }

    // Restart puts the tower back with the clock stopped at zero.
    void restartPutsTheTowerBack() {
        Open();
        Move(1, 3);
        QVERIFY(window_->Game().timElapsed.Enabled);
        window_->findChild<QAction*>(QStringLiteral("mnuRestart"))->trigger();
        QCOMPARE(TopRing(1)->objectName(), QStringLiteral("picRing1"));
        QCOMPARE(Panel(1), QStringLiteral("Moves 0"));
        QCOMPARE(Panel(3), QStringLiteral("0:00:00"));
        QVERIFY(!window_->Game().timElapsed.Enabled);
        QVERIFY(!window_->findChild<QAction*>(QStringLiteral("mnuUndo"))->isEnabled());
    }

    void theClockTicksOncePerSecondWhileItRuns() {
        Open();
        Drag(Child("picRing1"), ColumnPoint(2));
        QTRY_COMPARE_WITH_TIMEOUT(Panel(3), QStringLiteral("0:00:02"), 2500);
    }

    // Pictures of every window for a person to look at; only when asked for, under a real X
    // server.
    void screenshots() {
        const QString folder = qEnvironmentVariable("PYLONS_SCREENSHOTS");
        if (folder.isEmpty()) {
            QSKIP("PYLONS_SCREENSHOTS names no folder");
        }
        QDir().mkpath(folder);
        Open();
        Move(1, 3);
        QVERIFY(window_->grab().save(folder + QStringLiteral("/main-level3.png")));
        ModalScript script;
        script.Then([&](QWidget* w) {
            auto* combo = w->findChild<QComboBox*>(QStringLiteral("cmbLevels"));
            combo->setFocus();
            QTest::keyClick(combo, Qt::Key_Down);
            QVERIFY(w->grab().save(folder + QStringLiteral("/hiscore.png")));
            qobject_cast<QDialog*>(w)->accept();
        });
        window_->mnuHiScore_Click();
        script.Then([&](QWidget* w) {
            QVERIFY(w->grab().save(folder + QStringLiteral("/about.png")));
            qobject_cast<QDialog*>(w)->accept();
        });
        window_->mnuAbout_Click();

        const auto level6 = testing::RecordOf(6, {{{6, 5, 2}, {1}, {4, 3}, {}}}, 5, 83).Encode();
        std::ofstream(Folder() / "six.WIM", std::ios::binary)
            .write(reinterpret_cast<const char*>(level6.data()), 118);
        script.Then([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog != nullptr);
            dialog->selectFile(dir_.filePath(QStringLiteral("six.WIM")));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        window_->mnuLoad_Click();
        QCOMPARE(window_->windowTitle(), QStringLiteral("Pylons - Level 6"));
        QCOMPARE(Child("board")->width(), 356);
        QVERIFY(window_->grab().save(folder + QStringLiteral("/main-level6.png")));
    }

    void theClockKeepsRunningWhileTheHighScoreWindowIsOpen() {
        Open();
        Drag(Child("picRing1"), ColumnPoint(2));
        ModalScript script;
        script.Then([](QWidget* w) {
            QTest::qWait(1300);
            qobject_cast<QDialog*>(w)->accept();
        });
        window_->mnuHiScore_Click();
        QVERIFY(window_->Game().stbStatusBar.Panels(3).Tag >= 1);
        QVERIFY(window_->Game().timElapsed.Enabled);
    }

    void theIconComesInItsThreeImages() {
        const QSet<QRgb> sixteen = {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000,
                                    0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
                                    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00,
                                    0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};
        const auto colours = [](const QImage& image) {
            QSet<QRgb> used;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb pixel = image.pixel(x, y);
                    if (qAlpha(pixel) != 0) {
                        used.insert(pixel);
                    }
                }
            }
            return used;
        };
        const QImage two = IconImage(32, IconColours::Two);
        QCOMPARE(two.size(), QSize(32, 32));
        QCOMPARE(colours(two), (QSet<QRgb>{0xFF000000, 0xFFFFFFFF}));
        for (const int size : {32, 16}) {
            const QImage image = IconImage(size, IconColours::Sixteen);
            QCOMPARE(image.size(), QSize(size, size));
            const QSet<QRgb> used = colours(image);
            QVERIFY(used.size() > 2);
            QVERIFY(sixteen.contains(used));
        }
        QCOMPARE(AppIcon().availableSizes().first(), QSize(16, 16));
    }

    void levelThreeCanBePlayedWithTheKeyboardAlone() {
        Open();
        ModalScript script;
        script.Press().Type(QStringLiteral("Keys")).Press();
        for (const auto& [from, to] : testing::Solve(3, 3)) {
            QTest::keyClick(window_.get(), static_cast<char>('0' + from));
            QVERIFY(window_->HoldingByKeyboard());
            QVERIFY(Child("dragOutline")->isVisible());
            QTest::keyClick(window_.get(), static_cast<char>('0' + to));
        }
        QVERIFY(script.Done());
        QCOMPARE(script.seen.value(1), QStringLiteral("Hiscore: You name []"));
        QCOMPARE(window_->windowTitle(), QStringLiteral("Pylons - Level 4"));
        QCOMPARE(window_->Game().HiScores.Record(1).Moves, 7.0);
    }

    void aKeyPicksUpShowsTheOutlineAboveThePoleAndSelectsItsButton() {
        Open();
        QTest::keyClick(window_.get(), '1');
        QWidget* outline = Child("dragOutline");
        QVERIFY(outline->isVisible());
        QCOMPARE(outline->geometry(), QRect(32, 176, 15, 25)); // the slot above the tower
        QVERIFY(qobject_cast<QRadioButton*>(Child("optPaal1"))->isChecked());
        QVERIFY(window_->Game().timElapsed.Enabled); // as at a first drag over the window
        QCOMPARE(Panel(1), QStringLiteral("Moves 0"));

        QTest::keyClick(window_.get(), '4'); // no pole 4 on this level
        QVERIFY(window_->HoldingByKeyboard());
        QTest::keyClick(window_.get(), Qt::Key_Escape);
        QVERIFY(!window_->HoldingByKeyboard());
        QVERIFY(!outline->isVisible());
        QCOMPARE(Panel(1), QStringLiteral("Moves 0")); // put back without a move

        QTest::keyClick(window_.get(), '1');
        QTest::keyClick(window_.get(), '1'); // dropped on its own pole: a move, as with the mouse
        QCOMPARE(Panel(1), QStringLiteral("Moves = 1"));
        QTest::keyClick(window_.get(), '2'); // pole 2 is empty: nothing to pick up
        QVERIFY(!window_->HoldingByKeyboard());
        QTest::keyClick(window_.get(), Qt::Key_1, Qt::KeypadModifier); // the number pad too
        QVERIFY(window_->HoldingByKeyboard());
        QTest::keyClick(window_.get(), Qt::Key_1, Qt::AltModifier); // not a pole key
        QVERIFY(window_->HoldingByKeyboard());
    }

    void theMouseTakesOverFromTheKeyboard() {
        Open();
        QTest::keyClick(window_.get(), '1');
        QVERIFY(window_->HoldingByKeyboard());
        Drag(Child("picRing1"), ColumnPoint(2));
        QVERIFY(!window_->Dragging());
        QCOMPARE(Panel(1), QStringLiteral("Moves = 1"));
        QCOMPARE(testing::LayoutOf(window_->Game()), (testing::Layout{{{3, 2}, {1}, {}, {}}}));
    }

    void screenReadersHearWhatThePlayerSees() {
        Open();
        const auto name = [this](const char* child) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(Child(child));
            return a != nullptr ? a->text(QAccessible::Name) : QString();
        };
        QCOMPARE(name("shpPaal1"), QStringLiteral("Pole 1: rings 3, 2, 1"));
        QCOMPARE(name("shpPaal2"), QStringLiteral("Pole 2: no rings"));
        Move(1, 3);
        Move(1, 2);
        Move(3, 2);
        QCOMPARE(name("shpPaal1"), QStringLiteral("Pole 1: rings 3"));
        QCOMPARE(name("shpPaal2"), QStringLiteral("Pole 2: rings 2, 1"));
        QCOMPARE(name("picRing1"), QStringLiteral("Ring 1 on pole 2, can be moved"));
        QCOMPARE(name("picRing2"), QStringLiteral("Ring 2 on pole 2"));
        QCOMPARE(name("panel1"), QStringLiteral("Moves = 3"));
        QCOMPARE(name("panel2"), QStringLiteral("Fastest time 0:00:00   "));
        QCOMPARE(name("board"), QStringLiteral("Pylons - Level 3. Pole 1: rings 3. "
                                               "Pole 2: rings 2, 1. Pole 3: no rings"));
        // The pole buttons are the selection among the poles; the board holds only what shows.
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(Child("optPaal2"));
        QCOMPARE(button->role(), QAccessible::RadioButton);
        QCOMPARE(button->text(QAccessible::Name), QStringLiteral("Pole 2"));
        QVERIFY(button->state().checked);
        QVERIFY(!QAccessible::queryAccessibleInterface(Child("optPaal1"))->state().checked);
        QAccessibleInterface* board = QAccessible::queryAccessibleInterface(Child("board"));
        QStringList children;
        for (int i = 0; i < board->childCount(); ++i) {
            children << board->child(i)->object()->objectName();
        }
        QCOMPARE(children, QStringList({"optPaal1", "optPaal2", "optPaal3", "shpPaal1", "shpPaal2",
                                        "shpPaal3", "picRing1", "picRing2", "picRing3",
                                        "stbStatusBar", "announcer"}));
        QCOMPARE(board->indexOfChild(button), 1);
    }

    void quitClosesTheWindow() {
        Open();
        window_->mnuQuit_Click();
        QVERIFY(!window_->isVisible());
    }
};

} // namespace pylons

QTEST_MAIN(pylons::MainWindowTest)
#include "main_window_test.moc"
