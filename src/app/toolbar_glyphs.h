#pragma once
// The pictures of the main window's toolbar buttons, drawn by code (24 x 24,
// fuchsia where the button shows through).
#include "platform/gui/bitmap.h"

enum class TToolbarGlyph { Novo, Editar, Backup, Abrir, Salvar, Impressao, Sair };

TBitmap ToolbarGlyph(TToolbarGlyph kind);
