#include "ui/Unit1.h"

#include <vector>

#include "engine/Texts.h"
#include "engine/Wanted.h"
#include "platform/Codepage.h"
#include "platform/SysUtils.h"
#include "tables/Tables.h"

TForm1* Form1 = nullptr;

TForm1::TForm1() : TForm(Form1Description, Form1Published) {}

void TForm1::InitTable() {
  engine::InitTable();
}

std::int32_t TForm1::OhmSift(std::int32_t maxCount, double target) {
  return engine::OhmSift(maxCount, target);
}

void TForm1::CalcSub(double target) {
  engine::CalcSub(target, *ListAns->Items, *ListUse->Items);
}

namespace {

// Moves the selected lines of one list to the other; whether any line moved.
bool MoveSelected(TListBox* source, TListBox* destination) {
  bool moved = false;
  for (int i = 0; i < source->Items->Count(); ++i) {
    if (source->GetSelected(i)) {
      moved = true;
      destination->Items->Add(source->Items->Get(i));
    }
  }
  for (int i = source->Items->Count() - 1; i >= 0; --i) {
    if (source->GetSelected(i)) source->Items->Delete(i);
  }
  return moved;
}

}  // namespace

void TForm1::Edit1Change(TObject* /*Sender*/) {
  static const AnsiString resultsFor = Utf8ToCp932(engine::texts::kResultsFor);
  const AnsiString text = Edit1->GetText();
  const std::optional<double> wanted = engine::WantedValue(text.View());
  if (!wanted) return;
  NeedReg->SetText(text + resultsFor);
  InitTable();
  ListAns->Clear();
  ListUse->Clear();
  ListNone->Clear();
  CalcSub(*wanted);
}

void TForm1::Button1Click(TObject* /*Sender*/) {
  if (MoveSelected(ListUse, ListNone)) ReCalcSub();
}

void TForm1::Button2Click(TObject* /*Sender*/) {
  if (MoveSelected(ListNone, ListUse)) ReCalcSub();
}

void TForm1::ReCalcSub() {
  if (Edit1->GetText() == "") return;
  ListAns->Clear();
  ListUse->Clear();
  // Through the window at most 95 values can be set aside, the series values a result can use
  // (110 to 910,000 ohms: 23 below 1 kilohm, 24 in each decade after); the table says if it is
  // ever asked for more than it holds.
  std::vector<double> none;
  for (int i = 0; i < ListNone->Items->Count(); ++i)
    none.push_back(StrToFloat(ListNone->Items->Get(i)));
  engine::SetNoneTable(none);
  CalcSub(StrToFloat(Edit1->GetText()));
}
