// Calculation record of one pipe segment and its plastic, PPR and steam
// variants.
//
// The host fills in the flow, the length, the local-resistance sum and a pipe
// size (nominal diameter, inner diameter and wall thickness in mm); the record
// works out the velocity (m/s), the specific friction loss Rm (Pa/m), the
// friction loss over the length, the dynamic pressure, the local loss and the
// total loss (Pa).  The variants change only how Rm is computed.
//
// Calculation arguments: roughness is the absolute wall roughness in m, rho
// the density in kg/m^3, nu the kinematic viscosity in 1e-6 m^2/s (mm^2/s).
// A zero inner diameter (|Diameter| < 1e-06) is the only guarded input; other
// inputs go through the formulas unchanged, including their -1 sentinels.
//
// The virtual operations are declared in their fixed slot order, which the
// size selection and host programs rely on; the virtual destructor comes
// after the last of them.
#pragma once

#include "TQRVNBaseExport.h"

class CXTPPropExchange;

class TQRVNBASE_API CTQPipeData {
public:
    /// Length 1 m, Flux 1 m^3/s, Load 1000, every other member 0.
    CTQPipeData();
    CTQPipeData(const CTQPipeData& other);

    // slot 0
    /// Copies the twelve base members only, even into a variant; nothing
    /// happens when other is this object.
    virtual void operator=(const CTQPipeData& other);
    // slot 1
    /// Exchanges "Load", "Flux", "DN" (int), "Diameter", "ThickNess", "Length",
    /// "Velocity", "Bmz" (Rm), "OnWayResistance", "DragCoef",
    /// "DynamicPressure", "LocalResistance" (doubles), in this order.  The
    /// members a variant adds are never exchanged.  Returns true.
    virtual bool DoPropExchange(CXTPPropExchange* px);
    // slots 2 to 7: the stored members
    virtual double GetRm() const;
    virtual double GetDynamicPressure() const;
    virtual double GetLocalResistance() const;
    virtual double GetOnWayResistance() const;
    /// GetOnWayResistance() + GetLocalResistance(), both through the virtual table.
    virtual double GetAllResistance() const;
    virtual double GetVelocity() const;
    // slot 8
    /// Velocity = Flux / circle area of Diameter; 0 (and Velocity 0) for a zero Diameter.
    virtual double CalVelocity();
    // slot 9
    /// Darcy method: Rm from the Reynolds number of the stored Velocity, the
    /// friction factor chosen by flow regime and lambda / d * rho v^2 / 2.
    /// A zero Diameter sets Rm to 0 and returns 0.
    virtual double CalRm(double roughness, double rho, double nu);
    // slot 10
    /// False with nothing changed for a zero Diameter.  Otherwise CalVelocity,
    /// Rm = CalRm, OnWayResistance = Rm * Length, DynamicPressure = rho v^2 / 2,
    /// LocalResistance = DynamicPressure * DragCoef; true.
    virtual bool CalAllData(double roughness, double rho, double nu);

    virtual ~CTQPipeData();

    double Length;           ///< length of the segment, m
    double Flux;             ///< volume flow, m^3/s
    double Load;             ///< load carried, compared with a size's load range
    int DN;                  ///< nominal diameter of the chosen size
    double Diameter;         ///< inner diameter, mm
    double DragCoef;         ///< sum of the local-resistance coefficients zeta
    double ThickNess;        ///< wall thickness, mm
    double Rm;               ///< specific friction loss, Pa/m
    double Velocity;         ///< mean velocity, m/s
    double DynamicPressure;  ///< rho v^2 / 2, Pa
    double OnWayResistance;  ///< friction loss over the length, Pa
    double LocalResistance;  ///< local loss, Pa

protected:
    // Steps 4 to 7 of CalAllData: the losses from Rm and Velocity.
    void CalLosses(double rho);
};

/// Plastic pipe method.  ThickNess defaults to 1.7 mm.
class TQRVNBASE_API CTQRVNPlasticData : public CTQPipeData {
public:
    CTQRVNPlasticData();
    CTQRVNPlasticData(const CTQRVNPlasticData& other);

    using CTQPipeData::operator=;

    /// DN 0 or a zero Diameter: Velocity = 0, returns 0, Rm unchanged.
    /// Otherwise the bore dj is computed from the outside diameter
    /// Diameter + 2 ThickNess with tolerances 0.3 mm (outside) and 0.5 mm
    /// (wall), and Rm = plastic friction factor / dj * rho v^2 / 2 * RmFactor,
    /// v being the velocity on Diameter.
    double CalRm(double roughness, double rho, double nu) override;
    // slot 11
    /// Copies the base members, RmFactor and ThickNess; nothing for itself.
    virtual void operator=(const CTQRVNPlasticData& other);

    double RmFactor;  ///< multiplier applied to Rm, default 1
};

/// PPR pipe: Rm from the PPR gradient formula.
class TQRVNBASE_API CTQRVNPPRData : public CTQPipeData {
public:
    CTQRVNPPRData();
    CTQRVNPPRData(const CTQRVNPPRData& other);

    using CTQPipeData::operator=;

    /// A zero Diameter: Velocity = 0, returns 0, Rm unchanged.  Otherwise
    /// Rm = the PPR gradient of Diameter and Flux with PPRFlag; RmFactor is
    /// not applied and the three arguments are not used.
    double CalRm(double roughness, double rho, double nu) override;
    /// A zero Diameter: Velocity = 0, Rm = 0, false.  Otherwise Velocity on
    /// Diameter, Rm = CalRm * RmFactor, then the losses as in the base; true.
    bool CalAllData(double roughness, double rho, double nu) override;
    // slot 11
    /// Copies the base members, PPRFlag and RmFactor; nothing for itself.
    virtual void operator=(const CTQRVNPPRData& other);

    bool PPRFlag;     ///< coefficient choice of the PPR gradient formula, default true
    double RmFactor;  ///< multiplier applied to Rm in CalAllData, default 1
};

/// Steam pipe: Rm from the steam-pipe formula on the mass flow rho * Flux.
class TQRVNBASE_API CTQRVNSteamData : public CTQPipeData {
public:
    CTQRVNSteamData();
    CTQRVNSteamData(const CTQRVNSteamData& other);

    using CTQPipeData::operator=;

    /// A zero Diameter: Rm = 0, returns 0.  Otherwise the steam formula with
    /// the mass flow rho * Flux * 3.6 t/h, d = Diameter / 1000 m, rho and
    /// roughness; nu is not used.
    double CalRm(double roughness, double rho, double nu) override;
    // slot 11
    /// Copies the base members; nothing for itself.
    virtual void operator=(const CTQRVNSteamData& other);
};
