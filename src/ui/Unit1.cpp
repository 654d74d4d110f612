#include "ui/Unit1.h"

#include "engine/Engine.h"
#include "platform/SysUtils.h"

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

const char kResultsFor[] = " \x82\xcc\x8c\x8b\x89\xca";  // " の結果", the results for

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
  const AnsiString text = Edit1->GetText();
  double wanted = 0.0;
  if (!engine::AcceptWantedText(text, wanted)) return;
  NeedReg->SetText(text + kResultsFor);
  InitTable();
  ListAns->Clear();
  ListUse->Clear();
  ListNone->Clear();
  CalcSub(wanted);
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
  const int lines = ListNone->Items->Count();
  // Through the window at most 95 values can be set aside, the series values a result can use
  // (110 to 910,000 ohms: 23 below 1 kilohm, 24 in each decade after). Were the table ever short,
  // leaving some out would quietly bring them back into the results.
  if (lines > engine::kNoneCapacity) {
    throw Exception("Too many resistor values not owned: at most 200 can be left out.");
  }
  for (int i = 0; i < lines; ++i) {
    engine::NoneTable[i] = StrToFloat(ListNone->Items->Get(i));
  }
  engine::NoneCount = lines;
  CalcSub(StrToFloat(Edit1->GetText()));
}
