#pragma once
/*  The project's one include for the VST 2.4 interface, for the plug-in's adapter and for the hosts of
    the plug-in (the Audio Unit wrapper, the command-line host) alike. The declarations, with their
    published names and layout checks, are in aeffectx.h. */
#include "framework/plugin/vst2/aeffectx.h"
