// Keystroke to lists updated: the last key of "4700" typed into Edit1 runs Edit1Change, which
// searches and refills ListAns, ListUse and ListNone. Runs offscreen unless told otherwise.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QtTest>

#include "platform/Application.h"
#include "ui/Unit1.h"

namespace {

TForm1* OpenWindow() {
  static TForm1* form = [] {
    TForm1* f = nullptr;
    Application->CreateForm(f);
    f->Show();
    if (!QTest::qWaitForWindowExposed(f->Handle())) qWarning("window not exposed");
    return f;
  }();
  return form;
}

// The key press itself, delivered through Qt's event dispatch, and everything it sets off.
void BM_KeystrokeTo4700(benchmark::State& state) {
  TForm1* form = OpenWindow();
  QWidget* edit = form->Edit1->Handle();
  form->Edit1->SetText("470");
  for (auto _ : state) {
    QTest::keyClick(edit, Qt::Key_0);
    state.PauseTiming();
    QTest::keyClick(edit, Qt::Key_Backspace);  // back to "470", which searches again
    state.ResumeTiming();
  }
  if (form->ListAns->Items->Count() != 15) state.SkipWithError("4700 did not list 15 pairs");
}
BENCHMARK(BM_KeystrokeTo4700)->Unit(benchmark::kMicrosecond);

// The same, and the window drawn again with the new lines.
void BM_KeystrokeTo4700Drawn(benchmark::State& state) {
  TForm1* form = OpenWindow();
  QWidget* edit = form->Edit1->Handle();
  form->Edit1->SetText("470");
  for (auto _ : state) {
    QTest::keyClick(edit, Qt::Key_0);
    QApplication::processEvents();
    state.PauseTiming();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_KeystrokeTo4700Drawn)->Unit(benchmark::kMicrosecond);

// The text change alone: Edit1Change for 4700 with its list updates, no key event around it.
void BM_Edit1Change4700(benchmark::State& state) {
  TForm1* form = OpenWindow();
  for (auto _ : state) {
    form->Edit1->SetText("4700");
    state.PauseTiming();
    form->Edit1->SetText("");  // refused at once; lists stay
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Edit1Change4700)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
