#include "revision/arrears_wizard.h"

#include "revision/arrears_engine.h"

TForm12* Form12 = nullptr;

TForm12::TForm12(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form12");
    SetCaption("Atualização de nova RMI");
}

TForm12::~TForm12() = default;

void TForm12::Button20Click(TObject*) {
}

void TForm12::Button23Click(TObject*) {
}

void TForm12::Button5Click(TObject*) {
}

void TForm12::Button2Click(TObject*) {
}

void TForm12::BTNcorrigirClick(TObject*) {
}

void TForm12::Button6Click(TObject*) {
}

void TForm12::Button31Click(TObject*) {
}

void TForm12::Button3Click(TObject*) {
}

void TForm12::FecharClick(TObject*) {
}

void TForm12::DatainiExit(TObject*) {
}

void TForm12::DatafimExit(TObject*) {
}

void TForm12::DateinicialjurosExit(TObject*) {
}

void TForm12::DatefinaljurosExit(TObject*) {
}

void TForm12::DatePrescricaoExit(TObject*) {
}

void TForm12::DateEdit1Exit(TObject*) {
}

void TForm12::DateEdit2Exit(TObject*) {
}

void TForm12::DateEdit3Exit(TObject*) {
}

void TForm12::Cadct1Click(TObject*) {
}

void TForm12::Cadct2Click(TObject*) {
}

void TForm12::Cadct1inssClick(TObject*) {
}

void TForm12::Cadct2inssClick(TObject*) {
}

void TForm12::CurvClick(TObject*) {
}

void TForm12::Button21Click(TObject*) {
}

void TForm12::Button10Click(TObject*) {
}

void TForm12::Button11Click(TObject*) {
}

void TForm12::Button12Click(TObject*) {
}

void TForm12::Button13Click(TObject*) {
}

void TForm12::Button14Click(TObject*) {
}

void TForm12::Button15Click(TObject*) {
}

void TForm12::Button16Click(TObject*) {
}

void TForm12::Button18Click(TObject*) {
}

void TForm12::Button17Click(TObject*) {
}

void TForm12::Button19Click(TObject*) {
}

void TForm12::Button24Click(TObject*) {
}

void TForm12::Button9Click(TObject*) {
}

void TForm12::Button33Click(TObject*) {
}

void TForm12::Button34Click(TObject*) {
}

void TForm12::Button35Click(TObject*) {
}

void TForm12::ndiceProporcional1Click(TObject*) {
}

void TForm12::Meundice1Click(TObject*) {
}

void TForm12::Button1Click(TObject*) {
}

void TForm12::Button28Click(TObject*) {
}

void TForm12::Button32Click(TObject*) {
}

void TForm12::incdata2(const std::string&, const std::string&) {
}

void TForm12::S041088() {
}

std::string TForm12::devolvevalorex(int, const std::string&) {
    return {};
}

void TForm12::incdata(const std::string&, const std::string&) {
}

void TForm12::colocaindice() {
}

void TForm12::colocaindice2() {
}

void TForm12::corrigevalor() {
}

void TForm12::corrigevalortt() {
}

void TForm12::corrigevalorfim() {
}

void TForm12::corrigevalorttfim() {
}

void TForm12::corrigevalor3() {
}

void TForm12::corrigevalor3fim() {
}

void TForm12::corrigevalor2() {
}

void TForm12::corrigevalor2fim() {
}

void TForm12::fimx() {
}

void TForm12::refazsalx() {
}

void TForm12::refazindx() {
}

void TForm12::recalculo() {
}

std::string TForm12::devolvesm(const std::string&) {
    return {};
}

std::string TForm12::devolveind(const std::string&) {
    return {};
}

bool TForm12::checkinteiro(const std::string&) {
    return false;
}

std::string TForm12::formatfloatx(const std::string&, long double) {
    return {};
}

void TForm12::gravax() {
}

void TForm12::imprix() {
}

void TForm12::ReadStateFile(const std::string&) {
}

calc::TPlanilhaInput TForm12::PlanilhaInput() {
    return {};
}

calc::TNovaRmiInput TForm12::NovaRmiInput() {
    return {};
}
