// Front materials and the two lights of the fixed-function pipeline.
#pragma once

#include "render/materials.h"

// Makes m the current front material (ambient, diffuse, specular, shininess, in that order).
void set_material(Material m);
// Applies the preset chosen by ball_material; the colour code plays no part in the choice.
void select_ball_material(int color);
// Once at start-up: both lights' colours and enables, smooth shading. No positions.
void init_lighting();
// Every frame, under the camera transform: both light positions, so they are in world space.
void place_lights();

// Light parameters: light 0 is positional (w = 1), light 1 directional (w = 0); both share one
// set of colours.
extern const float light0_position[4];
extern const float light1_position[4];
extern const float light_ambient[4];
extern const float light_diffuse[4];
extern const float light_specular[4];
