#pragma once
// Fills the backbone's tool creators with the nine tool classes, each under
// its EToolId, and gives the canvas the creator of the second engine's oil
// brush. The program calls it once before the backbone starts.

void RegisterPaintTools();
