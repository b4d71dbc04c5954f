#pragma once
#include <cstdint>

namespace getkelo::sim {

// A controller's parameters in the model's own terms, u = ff + kp e + ki Int(e) - kd dy/dt,
// with the error e and the measured value y as shares of the range and u the valve opening
// (0..1). The device profiles map each generation's parameter registers onto these.
struct ControllerTuning {
    double kp = 0.6;
    double ki = 0.6;          // per second
    double kd = 0;            // seconds
    double feedForward = 0.3; // share of the opening the set point needs, applied at once
};

// What the model needs from the device's registers for one stretch of time.
struct ModelInputs {
    bool controller = false;
    bool pressureControl = false; // pressure controller in mode 5 or 6
    double range = 100;
    double setpoint = 0;
    double pressureSetpoint = 0;
    double pressureFull = 10;
    double meterFlow = 0;
    double alarmDelayS = 0;
    double totalizerFactor = 1; // flow unit times one minute, in totalizer units
    ControllerTuning flowTuning;
    // The valve opening in % the control mode holds ("Ventil fix", "zu", "offen"); below 0 the
    // loop drives the valve.
    double valveHeld = -1;
    ControllerTuning pressureTuning{1.0, 1.0, 0, 0};
};

// Alarm word bits raised by the model.
inline constexpr uint16_t kAlarmSetpointInput = 1u << 1;
inline constexpr uint16_t kAlarmNoFlowAtFullValve = 1u << 3;

// Physical model of one device. A controller's PID loop drives the valve from the measured
// value; the valve follows with a lag, the flow (or the pressure) follows the valve with the
// device's time constant, and the thermal sensor lags behind the flow. So the tuning shows:
// a higher P rises faster and, past a point, overshoots and at last oscillates. A meter's
// flow follows its value with the time constant. The totalizer integrates the measured flow.
// Time moves only through advance(), called lazily with the time passed since the last call.
class FlowModel {
  public:
    FlowModel(double timeConstantMs, double noise, uint32_t seed);

    void advance(const ModelInputs& in, int64_t dtMs);
    void restart();
    void clearAlarms();

    // Noisy readings (noise only on what a sensor measures).
    double flowReading(const ModelInputs& in);
    double temperatureReading();
    double pressureReading(const ModelInputs& in);

    double flow() const { return measured_; }
    double valve() const { return valve_; }
    double totalizer() const { return total_; }
    double pressure() const { return pressure_; }
    uint16_t alarms() const { return alarms_; }
    void setTotalizer(double v) { total_ = v; }
    void setGasSupply(bool on) { supply_ = on ? 1.0 : 0.0; }

  private:
    void step(const ModelInputs& in, double dtS);
    // One short interval of a control loop: the valve opening it asks for, 0..1.
    double control(const ControllerTuning& c, double setpointShare, double measuredShare,
                   double feed, double dtS);
    void flowLoop(const ModelInputs& in, double dtS);
    void pressureLoop(const ModelInputs& in, double dtS);
    void moveValve(double opening, double dtS);
    double noiseSample();

    double tauS_;
    double noise_;
    uint32_t rng_;
    double flow_ = 0;     // what passes the valve
    double measured_ = 0; // what the sensor shows
    double valve_ = 0;    // %
    double integral_ = 0;
    double previous_ = 0; // measured share at the last control interval
    double total_ = 0;
    double pressure_ = 1.0;
    double supply_ = 1.0;
    double timeS_ = 0;
    double noFlowS_ = 0;
    uint16_t alarms_ = 0;
};

} // namespace getkelo::sim
