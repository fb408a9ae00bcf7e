// The effect controls library's classes, for form resources to name.
#pragma once

void RegisterEffectClasses();
