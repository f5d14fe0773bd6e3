#pragma once

// Where OpenGL is only a software rasteriser (a PC without a working graphics
// driver, a virtual machine, a remote desktop), the engine composites its
// pages in software and hands the window finished images. Drawn through the
// rasteriser instead, every frame of a page is rendered again on the UI
// thread, which puts the first page on screen about twice as late and holds
// more memory. A Qt Quick backend chosen in the environment stands. Before
// the engine starts.
void ChoosePageCompositing();

// Whether the engine composites in software, once ChoosePageCompositing has
// run: the pages then draw into the window's own surface, with no OpenGL
// surface that would make Qt replace native windows.
bool PagesCompositedInSoftware();
