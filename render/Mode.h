// CMode: a display mode as nine parameters, each with a match kind.
//
// The same type serves as a request (a pattern: for each parameter, any value,
// a positive value, or one exact value) and as a concrete mode offered by the
// display, in which every parameter is MATCH_EXACT. It is a plain value: no
// virtual functions, no heap storage, passed and stored by value.
// CDevice::GetBestMode picks the best offered mode for a request.
#ifndef NVORN_RENDER_MODE_H
#define NVORN_RENDER_MODE_H

namespace NVorn {
namespace N3D {

// Parameter numbers.
enum
{
    MODE_WIDTH        = 0,  // pixels
    MODE_HEIGHT       = 1,  // pixels
    MODE_REFRESHRATE  = 2,  // Hz, -1 when the platform reports none
    MODE_FULLSCREEN   = 3,  // 0 window, 1 full screen
    MODE_BITSPERPIXEL = 4,  // -1 when the platform reports none
    MODE_PARAM5       = 5,  // pixel-format parameters defined by the back end
    MODE_PARAM6       = 6,
    MODE_PARAM7       = 7,
    MODE_DISPLAY      = 8,  // index in the platform's list of active displays
    MODE_COUNT        = 9
};

// How a request treats one parameter. Any other kind accepts nothing.
enum
{
    MATCH_ANY      = -1,
    MATCH_POSITIVE = 1,
    MATCH_EXACT    = 2
};

class CMode
{
public:
    struct SParameter
    {
        // Whether this request parameter accepts the candidate's value. Only
        // this parameter's kind is consulted, never the candidate's.
        bool Accaptable(SParameter candidate) const;

        long m_Value;
        long m_Match;
    };

    // An empty request: any mode of display 0.
    CMode();
    // A request for an exact size and window kind on display 0; the last
    // argument is not used.
    CMode(long width, long height, bool fullscreen, long);

    // Every parameter any value, except the display: exactly 0.
    void Clear();
    // True when all nine values and match kinds are equal.
    bool Compare(CMode other) const;
    // True when every parameter of this request accepts the candidate's.
    bool Acceptable(CMode candidate) const;

    SParameter m_aParameters[MODE_COUNT];
};

} // namespace N3D
} // namespace NVorn

#endif
