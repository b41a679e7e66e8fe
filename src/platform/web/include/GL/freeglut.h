// The browser build's <GL/freeglut.h>: emscripten ships the same declarations as <GL/glut.h>.
// What its toolkit lacks (the sphere, the menu) the web build defines itself (glut_stand_ins.cpp).
#pragma once

#include <GL/glut.h>
