#include "calc/RVNCalc.h"
