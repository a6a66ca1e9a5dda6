# Fails when PROGRAM imports a function of the C maths library: the artwork is drawn in whole numbers, and a
# sin() or sqrt() on doubles would make its bytes depend on the machine and the libm that draw it. READELF
# reads programs of any processor, so the check runs on cross-built programs too.
execute_process(COMMAND ${READELF} --dyn-syms --wide ${PROGRAM}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot read the symbols of ${PROGRAM}")
endif()
string(REGEX MATCHALL "UND [A-Za-z0-9_]+" imports "${symbols}")
list(TRANSFORM imports REPLACE "^UND " "")
set(maths "a?sinh?|a?cosh?|a?tanh?|atan2|sincos|exp|exp2|exp10|expm1|log|log2|log10|log1p|logb|ilogb|pow|sqrt|cbrt"
          "|hypot|fmod|remainder|remquo|floor|ceil|round|lround|llround|trunc|rint|lrint|llrint|nearbyint|frexp"
          "|ldexp|scalbl?n|modf|erfc?|tgamma|lgamma|fma|fdim|fmax|fmin")
string(JOIN "" maths ${maths})
list(FILTER imports INCLUDE REGEX "^_*(${maths})(f|l|f32|f64|f128|f32x|f64x)?(_finite)?$")
if(imports)
    list(JOIN imports ", " imports)
    message(FATAL_ERROR "${PROGRAM} imports ${imports} from the C maths library: draw in artwork::Fixed")
endif()
