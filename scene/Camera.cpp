#include "scene/Camera.h"

#include <cmath>

namespace qv {

namespace {

Vector3 subtract(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector3 normalised(const Vector3& v) {
    const float length = std::sqrt(dot(v, v));
    // A degenerate vector stays zero rather than turning into NaNs.
    if (length == 0.0f) return v;
    return {v.x / length, v.y / length, v.z / length};
}

}  // namespace

int cameraDistance(const Variant& variant, int screenLayoutCode) {
    if (screenLayoutCode < 0 || screenLayoutCode >= static_cast<int>(variant.cameraDistance.size()))
        return 230;
    return variant.cameraDistance[static_cast<std::size_t>(screenLayoutCode)];
}

float fieldOfView(int screenWidth, int screenHeight) {
    if (screenWidth >= screenHeight) return 0.785398163f;  // pi / 4
    const double proportion = static_cast<double>(screenWidth) / screenHeight;
    return proportion >= 0.75 ? 0.99483770f : 1.18682396f;  // 57 and 68 degrees
}

Vector3 cameraUp(int screenWidth, int screenHeight) {
    if (screenWidth >= screenHeight) return {0.0f, 1.0f, 0.0f};
    return {-1.0f, 0.0f, 0.0f};
}

Matrix4 lookAtRH(const Vector3& eye, const Vector3& at, const Vector3& up) {
    const Vector3 zaxis = normalised(subtract(eye, at));
    const Vector3 xaxis = normalised(cross(up, zaxis));
    const Vector3 yaxis = cross(zaxis, xaxis);
    Matrix4 r;
    r.m[0] = {xaxis.x, yaxis.x, zaxis.x, 0.0f};
    r.m[1] = {xaxis.y, yaxis.y, zaxis.y, 0.0f};
    r.m[2] = {xaxis.z, yaxis.z, zaxis.z, 0.0f};
    r.m[3] = {-dot(xaxis, eye), -dot(yaxis, eye), -dot(zaxis, eye), 1.0f};
    return r;
}

Matrix4 perspectiveFovRH(float fovY, float aspect, float zNear, float zFar) {
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    const float xScale = yScale / aspect;
    Matrix4 r;
    r.m[0] = {xScale, 0.0f, 0.0f, 0.0f};
    r.m[1] = {0.0f, yScale, 0.0f, 0.0f};
    r.m[2] = {0.0f, 0.0f, zFar / (zNear - zFar), -1.0f};
    r.m[3] = {0.0f, 0.0f, zNear * zFar / (zNear - zFar), 0.0f};
    return r;
}

}  // namespace qv
