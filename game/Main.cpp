// The program vorn. Its entry point is the engine's main (library
// nvorn_main), which sets up the log, the core and the window system and
// then calls VornMain from the game library (nvorn_game, Vorn.cpp). The
// executable needs a translation unit of its own, and this is it.
