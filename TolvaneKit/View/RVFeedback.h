// Tolvane Kit, interactive view: an OpenGL view that keeps the camera in step
// with its size, draws through it and turns mouse gestures into clicks,
// picks and camera turns, and recordings (vertex buffers, display lists)
// that replay a drawing.
// Builds on the camera subsystem and Platform's toolkit-free OpenGLView.

#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

// A drawing run in OpenGL's feedback mode so that what it sends comes back
// in the coordinates it sent. The matrices are identities but for a
// projection of the cube of half-size `extent` onto the clip volume, and the
// viewport maps that cube onto window coordinates of the same size (while
// twice the extent fits the largest viewport). Texture coordinates s, t, r,
// q are generated from eye coordinates, which makes them exactly the vertex
// as sent, where window coordinates are a few ulps off; Mesa generates them
// only for a unit that textures, so one of a single white texel is bound.
// Every vertex comes as GL_3D_COLOR_TEXTURE: window x, y, z, the colour
// (RGBA), then s, t, r, q. The context's state is as it was afterwards.
namespace RVFeedback {

constexpr std::size_t colorOffset = 3, textureOffset = 7, floatsPerVertex = 11;

// The floats written, or nothing when `floats` were too few.
std::optional<std::vector<GLfloat>> capture(const std::function<void()>& draw, std::size_t floats,
                                            GLfloat extent);

} // namespace RVFeedback
