package quillomere.tarvex;

/**
 * The change (comparison) call of a probe set against a baseline.
 *
 * <p>An object holds one value in {@link #m_nEnumType}; the constants name the values.
 */
public class TARVEX_COMP_CALL_TYPE {
    /** 0. */
    public static final int UNKNOWN_CALL_TYPE = 0;
    /** 1. */
    public static final int INCREASED_CALL_TYPE = 1;
    /** 2. */
    public static final int DECREASED_CALL_TYPE = 2;
    /** 3. */
    public static final int INCREASED_MODERATELY_CALL_TYPE = 3;
    /** 4. */
    public static final int DECREASED_MODERATELY_CALL_TYPE = 4;
    /** 5. */
    public static final int NO_CHANGE_CALL_TYPE = 5;
    /** 6. */
    public static final int NO_COMP_CALL_TYPE = 6;

    /** The value. */
    public int m_nEnumType;

    /**
     * Makes an object holding a value.
     *
     * @param value the value, one of the constants of this class
     */
    public TARVEX_COMP_CALL_TYPE(int value) {
        m_nEnumType = value;
    }

    /**
     * The number of a value.
     *
     * @param value an object of this class
     * @return its number
     * @throws NullPointerException when {@code value} is null
     */
    public static int getEnumType(TARVEX_COMP_CALL_TYPE value) {
        return value.m_nEnumType;
    }

    /** Objects holding the same value are equal. */
    @Override
    public boolean equals(Object other) {
        return other instanceof TARVEX_COMP_CALL_TYPE && ((TARVEX_COMP_CALL_TYPE) other).m_nEnumType == m_nEnumType;
    }

    @Override
    public int hashCode() {
        return m_nEnumType;
    }

    /** The name of the value, or its number when it has no name. */
    @Override
    public String toString() {
        switch (m_nEnumType) {
            case UNKNOWN_CALL_TYPE: return "UNKNOWN_CALL_TYPE";
            case INCREASED_CALL_TYPE: return "INCREASED_CALL_TYPE";
            case DECREASED_CALL_TYPE: return "DECREASED_CALL_TYPE";
            case INCREASED_MODERATELY_CALL_TYPE: return "INCREASED_MODERATELY_CALL_TYPE";
            case DECREASED_MODERATELY_CALL_TYPE: return "DECREASED_MODERATELY_CALL_TYPE";
            case NO_CHANGE_CALL_TYPE: return "NO_CHANGE_CALL_TYPE";
            case NO_COMP_CALL_TYPE: return "NO_COMP_CALL_TYPE";
            default: return Integer.toString(m_nEnumType);
        }
    }
}
