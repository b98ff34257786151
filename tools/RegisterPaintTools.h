#pragma once
// Fills the backbone's tool creators with the nine tool classes, by tool id:
// 0 oil paint, 1 pencils, 2 airbrush, 3 chalk, 4 crayon, 5 eraser,
// 6 palette knife, 7 pens, 8 watercolour. The program calls it once before
// the backbone starts.

void RegisterPaintTools();
