// GLUT behind the toolkit seam.
#include "app/glut_toolkit.h"

#include <GL/freeglut.h>

#include <cstdlib>

void GlutToolkit::start_timer(unsigned int delay_ms, TimerCallback callback, int value)
{
    glutTimerFunc(delay_ms, callback, value);
}

void GlutToolkit::request_redisplay() { glutPostRedisplay(); }

void GlutToolkit::quit(int status) { std::exit(status); }
