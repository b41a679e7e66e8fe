// GLUT behind the toolkit seam.
#include "platform/glut/glut_toolkit.h"

#include <GL/freeglut.h>

void GlutToolkit::start_timer(unsigned int delay_ms, TimerCallback callback, int value)
{
    glutTimerFunc(delay_ms, callback, value);
}

void GlutToolkit::request_redisplay() { glutPostRedisplay(); }

void GlutToolkit::swap_buffers() { glutSwapBuffers(); }
