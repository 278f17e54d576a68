#pragma once
// The fixed camera of the show: its distance by screen layout code, the
// field of view by screen shape, and our own right-handed look-at and
// perspective matrices (the same conventions as the Direct3D utility
// library's right-handed forms: row vectors, the view looks down -z).
#include "ports/DrawingPort.h"
#include "variant/Variant.h"

namespace qv {

struct Vector3 {
    float x = 0, y = 0, z = 0;
};

// Distance of the eye from the origin; codes outside 0..14 give 230.
int cameraDistance(const Variant& variant, int screenLayoutCode);

// Vertical field of view in radians for a primary screen of W x H:
// a quarter of pi on a landscape (or square) screen, 57 degrees on an
// upright one with W / H >= 0.75, 68 degrees on a narrower one.
float fieldOfView(int screenWidth, int screenHeight);

// Up vector: (0, 1, 0) on a landscape screen, (-1, 0, 0) on an upright one,
// so that the picture is turned a quarter turn with the screen.
Vector3 cameraUp(int screenWidth, int screenHeight);

Matrix4 lookAtRH(const Vector3& eye, const Vector3& at, const Vector3& up);
Matrix4 perspectiveFovRH(float fovY, float aspect, float zNear, float zFar);

}  // namespace qv
