// The standard exception handler and the desktop's message boxes.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <stdexcept>
#include <string>

#include "app/QtDialogs.h"
#include "app/StandardExceptionHandler.h"
#include "core/ScriptedDialogs.h"
#include "device/object_description.h"

namespace tavrik {
namespace {

// A port failure is both: a transport exception and a text for the user.
class PortFailure : public std::exception, public object_description {
 public:
  PortFailure() : object_description("COM-порт занят другим приложением") {}
  const char* what() const noexcept override { return "port"; }
};

template <class Throw>
MessageBox Handle(Throw raise) {
  ScriptedDialogs dialogs;
  try {
    raise();
  } catch (...) {
    HandleException(show_exception_mode);
  }
  EXPECT_EQ(dialogs.shown.size(), 1u);
  return dialogs.shown.empty() ? MessageBox{} : dialogs.shown.front();
}

TEST(HandleExceptionTest, ShowsTheTextOfEachKind) {
  struct Case {
    const char* what;
    MessageBox box;
    std::string text;
  };
  const Case cases[] = {
      {"object_description",
       Handle([] { throw object_description("(-1) Нет связи"); }), "(-1) Нет связи"},
      {"std::exception", Handle([] { throw std::runtime_error("Ошибка чтения"); }),
       "Ошибка чтения"},
      {"both: the description wins", Handle([] { throw PortFailure(); }),
       "COM-порт занят другим приложением"},
      {"anything else", Handle([] { throw 42; }), "Неизвестное исключение"},
      {"a pointer", Handle([] { throw "text"; }), "Неизвестное исключение"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.box.text, c.text);
    EXPECT_EQ(c.box.caption, "Внимание");
    EXPECT_EQ(c.box.icon, Icon::error);
    EXPECT_EQ(c.box.buttons, Buttons::ok);
    EXPECT_TRUE(c.box.ownerless);
  }
}

class QtDialogsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(InstallQtTranslation(*qApp)) << "qtbase_ru of qt6-translations-l10n";
  }
};

TEST_F(QtDialogsTest, QuestionsHaveYesAndNoInRussianWithNoAsDefault) {
  MessageBox question{"Продолжить выполнение?", "Внимание", Icon::exclamation, Buttons::yes_no,
                      Answer::no};
  auto box = CQtDialogs::MakeBox(question, nullptr);
  EXPECT_EQ(box->windowTitle(), QStringLiteral("Внимание"));
  EXPECT_EQ(box->text(), QStringLiteral("Продолжить выполнение?"));
  EXPECT_EQ(box->icon(), QMessageBox::Warning);
  EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
  ASSERT_NE(box->defaultButton(), nullptr);
  EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
  EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::No));
  EXPECT_EQ(box->button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Да"));
  EXPECT_EQ(box->button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Нет"));
}

TEST_F(QtDialogsTest, FailuresWithoutCaptionGetTheDefaultOne) {
  MessageBox failure{"Некорректное значение поля!\nВторая строка", "", Icon::error};
  auto box = CQtDialogs::MakeBox(failure, nullptr);
  EXPECT_EQ(box->windowTitle(), QStringLiteral("Ошибка"));
  EXPECT_EQ(box->icon(), QMessageBox::Critical);
  EXPECT_EQ(box->text(), QStringLiteral("Некорректное значение поля!\nВторая строка"));
  EXPECT_EQ(box->textFormat(), Qt::PlainText) << "texts are shown as they are";
  EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);

  EXPECT_EQ(CQtDialogs::Owner(MessageBox{"x", "", Icon::error, Buttons::ok, Answer::ok, true}),
            nullptr);
}

TEST_F(QtDialogsTest, WhileNoWindowIsActiveTheMainWindowOwnsTheBox) {
  QWidget main_window;
  main_window.setAttribute(Qt::WA_ShowWithoutActivating);
  main_window.show();
  ASSERT_EQ(QApplication::activeWindow(), nullptr);
  const MessageBox notice{"Внимание", "Предупреждение!", Icon::exclamation};
  EXPECT_EQ(CQtDialogs::Owner(notice, &main_window), &main_window);
  MessageBox ownerless = notice;
  ownerless.ownerless = true;
  EXPECT_EQ(CQtDialogs::Owner(ownerless, &main_window), nullptr);

  // Shown through the seam, the box is the main window's.
  CQtDialogs dialogs;
  dialogs.SetMainWindow(&main_window);
  QWidget* owner = &main_window;  // anything but nullptr
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      owner = box->parentWidget();
      box->button(QMessageBox::Ok)->click();
    } else {
      owner = nullptr;
    }
  });
  dialogs.Show(notice);
  EXPECT_EQ(owner, &main_window);
}

TEST(QtDialogsFilterTest, FilterTextNamesEachPatternOnce) {
  FileDialog d{{{"Файлы настроек (*.qdx)", "*.qdx"}, {"Все файлы", "*"}}, "qdx"};
  EXPECT_EQ(CQtDialogs::FilterText(d), QStringLiteral("Файлы настроек (*.qdx);;Все файлы (*)"));
}

// A filter chosen in the save dialog is reported, and a name typed without
// extension gets the chosen filter's one rather than the first filter's.
TEST_F(QtDialogsTest, SaveDialogReportsTheChosenFilterAndItsExtension) {
  CQtDialogs dialogs;
  FileDialog d{{{"Метафайлы (*.emf)", "*.emf"}, {"SVG (*.svg)", "*.svg"}, {"PDF (*.pdf)", "*.pdf"}}, "emf"};
  int chosen = -1;
  d.chosen_filter = &chosen;
  const QString folder = QDir::tempPath();
  QTimer::singleShot(0, [folder] {
    auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    box->setDirectory(folder);
    auto* types = box->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    // As the user picks the second filter from the list.
    types->setFocus();
    QTest::keyClick(types, Qt::Key_Down);
    QTest::keyClick(types, Qt::Key_Down);
    box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("tavrik-filter-test"));
    QMetaObject::invokeMethod(box, "accept");
  });
  const auto path = dialogs.SaveFileName(d);
  ASSERT_TRUE(path);
  EXPECT_EQ(*path, (folder + QStringLiteral("/tavrik-filter-test.pdf")).toStdString());
  EXPECT_EQ(chosen, 2);

  // Cancelling leaves the index alone.
  chosen = -1;
  QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  EXPECT_FALSE(dialogs.SaveFileName(d));
  EXPECT_EQ(chosen, -1);
}

}  // namespace
}  // namespace tavrik
