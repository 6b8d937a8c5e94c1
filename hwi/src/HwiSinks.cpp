#include "HwiSinks.h"

IProgressSink::~IProgressSink() = default;
IHookTarget::~IHookTarget() = default;
